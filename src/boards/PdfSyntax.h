#pragma once
// The syntax of PDF outside streams, as far as rewriting a paint engine's output needs it: tokens, and
// the values and references of a dictionary.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace nq::pdf {

enum class Kind { DictOpen, DictClose, ArrayOpen, ArrayClose, Name, String, Regular, Brace };

struct Token {
  Kind Type = Kind::Regular;
  std::size_t Begin = 0;
  std::size_t End = 0;
};

enum class Step { Token, End, NeedMore, Bad };

/// The tokens of text from a position. `complete` says the text ends where the object ends; otherwise
/// a token reaching the end of the text may go on in bytes not read yet (NeedMore).
class Lexer {
public:
  Lexer(std::string_view text, bool complete, std::size_t from = 0)
      : Text(text), Complete(complete), Pos(from) {}
  /// The next token, End at the end of complete text, NeedMore or Bad otherwise.
  Step Next(Token& token);

private:
  Step Short() const { return Complete ? Step::Bad : Step::NeedMore; }
  Step Emit(Token& token, Kind kind, std::size_t end);
  Step Until(Token& token, char close, Kind kind);
  Step LiteralString(Token& token);

  std::string_view Text;
  bool Complete;
  std::size_t Pos;
};

std::string_view TextOf(std::string_view text, const Token& token);
/// The value of a token that is a whole integer; nothing for any other token.
std::optional<int64_t> IntegerOf(std::string_view text, const Token& token);
/// tokens[i..i+2] read "N G R".
bool IsReference(std::string_view text, const std::vector<Token>& tokens, std::size_t i);
/// One past the last token of the value starting at tokens[i].
std::size_t ValueEnd(std::string_view text, const std::vector<Token>& tokens, std::size_t i);
/// The value of key in the dictionary that tokens start with: its first and one-past-last token.
std::optional<std::pair<std::size_t, std::size_t>>
FindKey(std::string_view text, const std::vector<Token>& tokens, std::string_view key);

} // namespace nq::pdf

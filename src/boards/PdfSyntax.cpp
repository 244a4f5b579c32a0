#include "boards/PdfSyntax.h"

#include <charconv>
#include <cstring>

namespace nq::pdf {
namespace {

bool IsWhite(char c) {
  return c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool IsDelimiter(char c) {
  return c != '\0' && std::strchr("()<>[]{}/%", c) != nullptr;
}

} // namespace

Step Lexer::Next(Token& token) {
  for (;;) {
    while (Pos < Text.size() && IsWhite(Text[Pos]))
      ++Pos;
    if (Pos < Text.size() && Text[Pos] == '%') {
      while (Pos < Text.size() && Text[Pos] != '\n' && Text[Pos] != '\r')
        ++Pos;
      continue;
    }
    break;
  }
  if (Pos >= Text.size()) return Complete ? Step::End : Step::NeedMore;
  token.Begin = Pos;
  const char c = Text[Pos];
  switch (c) {
  case '<':
    if (Pos + 1 >= Text.size()) return Short();
    if (Text[Pos + 1] == '<') return Emit(token, Kind::DictOpen, Pos + 2);
    return Until(token, '>', Kind::String);
  case '>':
    if (Pos + 1 >= Text.size()) return Short();
    return Text[Pos + 1] == '>' ? Emit(token, Kind::DictClose, Pos + 2) : Step::Bad;
  case '[':
    return Emit(token, Kind::ArrayOpen, Pos + 1);
  case ']':
    return Emit(token, Kind::ArrayClose, Pos + 1);
  case '{':
  case '}':
    return Emit(token, Kind::Brace, Pos + 1);
  case ')':
    return Step::Bad;
  case '(':
    return LiteralString(token);
  default:
    break;
  }
  std::size_t end = Pos + 1;
  while (end < Text.size() && !IsWhite(Text[end]) && !IsDelimiter(Text[end]))
    ++end;
  if (end >= Text.size() && !Complete) return Step::NeedMore;
  return Emit(token, c == '/' ? Kind::Name : Kind::Regular, end);
}

Step Lexer::Emit(Token& token, Kind kind, std::size_t end) {
  token.Type = kind;
  token.End = end;
  Pos = end;
  return Step::Token;
}

Step Lexer::Until(Token& token, char close, Kind kind) {
  const std::size_t end = Text.find(close, Pos + 1);
  if (end == std::string_view::npos) return Short();
  return Emit(token, kind, end + 1);
}

// Parentheses nest unless escaped with a backslash.
Step Lexer::LiteralString(Token& token) {
  int depth = 0;
  for (std::size_t i = Pos; i < Text.size(); ++i) {
    if (Text[i] == '\\') {
      ++i;
    } else if (Text[i] == '(') {
      ++depth;
    } else if (Text[i] == ')' && --depth == 0) {
      return Emit(token, Kind::String, i + 1);
    }
  }
  return Short();
}

std::string_view TextOf(std::string_view text, const Token& token) {
  return text.substr(token.Begin, token.End - token.Begin);
}

std::optional<int64_t> IntegerOf(std::string_view text, const Token& token) {
  if (token.Type != Kind::Regular) return std::nullopt;
  const std::string_view digits = TextOf(text, token);
  int64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

bool IsReference(std::string_view text, const std::vector<Token>& tokens, std::size_t i) {
  return i + 2 < tokens.size() && IntegerOf(text, tokens[i]) && IntegerOf(text, tokens[i + 1]) &&
         TextOf(text, tokens[i + 2]) == "R";
}

std::size_t ValueEnd(std::string_view text, const std::vector<Token>& tokens, std::size_t i) {
  if (i >= tokens.size()) return tokens.size();
  if (tokens[i].Type == Kind::DictOpen || tokens[i].Type == Kind::ArrayOpen) {
    int depth = 0;
    for (std::size_t j = i; j < tokens.size(); ++j) {
      if (tokens[j].Type == Kind::DictOpen || tokens[j].Type == Kind::ArrayOpen) ++depth;
      if ((tokens[j].Type == Kind::DictClose || tokens[j].Type == Kind::ArrayClose) && --depth == 0)
        return j + 1;
    }
    return tokens.size();
  }
  return IsReference(text, tokens, i) ? i + 3 : i + 1;
}

std::optional<std::pair<std::size_t, std::size_t>>
FindKey(std::string_view text, const std::vector<Token>& tokens, std::string_view key) {
  if (tokens.empty() || tokens[0].Type != Kind::DictOpen) return std::nullopt;
  std::size_t i = 1;
  while (i + 1 < tokens.size() && tokens[i].Type == Kind::Name) {
    const std::size_t end = ValueEnd(text, tokens, i + 1);
    if (TextOf(text, tokens[i]) == key) return std::make_pair(i + 1, end);
    i = end;
  }
  return std::nullopt;
}

} // namespace nq::pdf

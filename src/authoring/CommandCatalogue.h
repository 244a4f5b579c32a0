#pragma once
// The commands a cell can carry, as an author chooses them: every token the player knows, with a
// one-line description in the editor's three languages and, for the two that take one, the form of
// their argument.
#include <string>
#include <vector>

namespace nq::authoring {

enum class Language { Catalan, Spanish, English };

struct CommandInfo {
  std::string Token; // the command as the cell stores it, or the beginning of one with an argument
  bool TakesArgument = false;
  std::string Description; // UTF-8, in the language asked for
  std::string Argument;    // UTF-8: what the argument is, for the two commands that take one
};

/// Every command the player knows, in the language given.
std::vector<CommandInfo> CommandCatalogue(Language language);

/// The token with its argument, as the cell stores it ("<EXECUTAR notes.txt>").
std::string CommandWithArgument(const std::string& token, const std::string& argument);

} // namespace nq::authoring

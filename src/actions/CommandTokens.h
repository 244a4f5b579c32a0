#pragma once
// The command tokens a cell's special function may hold, for the dispatcher and for board checks.
#include <string>
#include <string_view>
#include <vector>

namespace nq {

/// True when the special function (Windows-1252) is a command this program knows: after folding
/// accents, one of the fixed tokens exactly, or a token that takes an argument ("<EXECUTAR ...>",
/// "<KEY_COMBINATION ...>") by its prefix in any letter case. An empty text is no command at all.
bool IsKnownCommandToken(std::string_view specialFunction);

/// Every command this program knows: the fixed tokens, then the beginnings of the tokens that take
/// an argument ("<EXECUTAR", "<KEY_COMBINATION"), for lists that offer them to board authors.
std::vector<std::string_view> KnownCommandTokens();

} // namespace nq

#pragma once
// Commands that reach outside the player: they start programs or open documents, send keys to other
// programs, close other programs' windows or start the companion editor with the board. A board may
// run them only from a folder the user trusts, and imports drop them.
#include <string_view>

namespace nq {

/// True when the dispatcher would run the special function (Windows-1252, as stored in a cell) as a
/// command that reaches outside the player; matched as the dispatcher matches its tokens, and erring
/// towards true.
bool ReachesOutside(std::string_view specialFunction);

} // namespace nq

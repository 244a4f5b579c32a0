#pragma once
// nexoquadrix --list-voices: the voices the speech window offers, for support and scripts.
#include <optional>

namespace nq {

/// With --list-voices as the only argument: prints every voice the speech window can list, in the
/// window's order with every language shown, one a line as "group<TAB>name<TAB>language" (UTF-8), and
/// returns the exit code. Otherwise returns nothing.
std::optional<int> AnswerVoiceListOption(int argc, char** argv);

} // namespace nq

#pragma once
// What the player does before its window exists: answering --help and --version, and choosing the
// X11 platform under Wayland.
#include <optional>

namespace nq {

/// Prints the help or the version when the only argument asks for it; returns the exit code then.
std::optional<int> AnswerInformationOption(int argc, char** argv);

/// In a Wayland session where the user chose no platform, runs the program through XWayland.
void PreferX11UnderWayland(int argc, char** argv);

} // namespace nq

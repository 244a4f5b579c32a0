#pragma once
// A user's first start of an installed program. The player writes window places and board options
// back into the boards it shows, and the installed demo boards are read-only, so the user gets a
// copy of them in a folder of their own and the home board setting names that copy.
#include <optional>
#include <string>
#include <string_view>

namespace nq {

class SettingsStore;

/// The demo home board inside a data folder for a locale name ("es_ES", "ca_ES.UTF-8", "C"):
/// the Spanish one for Spanish, the Catalan one for every other language.
std::string DemoHomeBoard(std::string_view locale);

/// Copies the folders boards/ and pictures/ of dataFolder into userFolder (both UTF-8). A file the
/// user already has is kept as it is; each new file arrives whole (written beside, then renamed) and
/// writable by its owner. False when some file could not be copied.
bool CopyDemoBoards(const std::string& dataFolder, const std::string& userFolder);

struct FirstStartFacts {
  bool BoardOnCommandLine = false;
  std::string DataFolder; // the installed data, UTF-8
  std::string UserFolder; // $XDG_DATA_HOME/nexoquadrix, UTF-8; empty for a portable install
  std::string Locale;
};

/// On a start with no board named (neither on the command line nor as home board in the settings) and
/// a user folder: copies the demo boards there and stores the copy's home board as the home board.
/// Returns that board (UTF-8), or nothing when the start goes on as before.
std::optional<std::string> OfferDemoBoards(SettingsStore& settings, const FirstStartFacts& facts);

} // namespace nq

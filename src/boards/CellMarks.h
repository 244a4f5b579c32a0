#pragma once
// The "V - " mark that menu-board cells show while the option they switch is on. The option state
// is read from the program settings file at every call, so the menu board always shows the stored
// values (including the copy of the board options written just before the menu board opened).
#include <cstdint>
#include <string>
#include <string_view>

namespace nq {

// Read access to the program settings file, as the settings store provides it.
class CellMarkSettings {
public:
  virtual ~CellMarkSettings() = default;
  /// The stored text of section/key, or def when it is missing.
  virtual std::string ReadSettingText(std::string_view section, std::string_view key,
                                      std::string_view def) = 0;
  /// The stored integer of section/key, or def when it is missing or not an integer.
  virtual int32_t ReadSettingInteger(std::string_view section, std::string_view key, int32_t def) = 0;
  /// The stored flag (any non-zero integer is true) of section/key, or def.
  virtual bool ReadSettingFlag(std::string_view section, std::string_view key, bool def) = 0;
};

/// Whether specialFunction names a menu option (exact, case-sensitive) that is on in the settings.
bool IsMarkedOption(const std::string& specialFunction, CellMarkSettings& settings);

/// The caption, prefixed with "V - " when the cell's special function names an option that is on.
std::string MarkedCaption(const std::string& caption, const std::string& specialFunction,
                          CellMarkSettings& settings);

} // namespace nq

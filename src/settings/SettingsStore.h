#pragma once
// The access layer over the two settings files: the program settings file (read and written) and
// Quadrix.ini (read only). Reads see the file as it is on disk now; writes never raise, and a
// failed write is reported only through the return value, which callers may ignore.
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ProfileFile.h"

namespace nq {

class SettingsStore {
public:
  /// settingsPath: the program settings file; sharedPath: Quadrix.ini. When createFolder is set,
  /// the settings file's folder is created (with its parents) by the first write that needs it.
  SettingsStore(std::string settingsPath, std::string sharedPath, bool createFolder = false);

  const std::string& SettingsPath() const { return Settings.Path(); }
  const std::string& SharedPath() const { return Shared.Path(); }

  /// The stored text (at most 1023 characters), or def when the key is missing.
  std::string ReadSettingText(std::string_view section, std::string_view key, std::string_view def) const;
  /// Writes the text; false when the file could not be written (the old file is then intact).
  bool WriteSettingText(std::string_view section, std::string_view key, std::string_view text);
  /// The stored integer ("0x" hexadecimal or decimal), or def when missing or malformed.
  int32_t ReadSettingInteger(std::string_view section, std::string_view key, int32_t def) const;
  /// Writes the integer in decimal.
  bool WriteSettingInteger(std::string_view section, std::string_view key, int32_t value);
  /// An integer where any non-zero value is true; def when missing or malformed.
  bool ReadSettingFlag(std::string_view section, std::string_view key, bool def) const;
  /// Writes "1" or "0".
  bool WriteSettingFlag(std::string_view section, std::string_view key, bool value);

  /// True when the stored text (def when missing) is exactly "SI".
  bool ReadSettingYes(std::string_view section, std::string_view key, std::string_view defaultText) const;
  /// Writes "SI" or "NO".
  bool WriteSettingYesNo(std::string_view section, std::string_view key, bool yes);
  /// True when the stored text (def when missing) is exactly "S\xCD" (accented capital I).
  bool ReadSettingAccentedYes(std::string_view section, std::string_view key,
                              std::string_view defaultText) const;
  /// Writes "S\xCD" or "NO".
  bool WriteSettingAccentedYesNo(std::string_view section, std::string_view key, bool yes);

  /// A text of Quadrix.ini, or def when missing. Quadrix.ini has no writer.
  std::string ReadSharedText(std::string_view section, std::string_view key, std::string_view def) const;
  /// True when the Quadrix.ini text (def when missing) is exactly "S\xCD".
  bool ReadSharedAccentedYes(std::string_view section, std::string_view key,
                             std::string_view defaultText) const;

private:
  void PrepareFolder();

  // Reads refresh first, so they see outside changes; that is a cache update, hence mutable.
  mutable ProfileFile Settings;
  mutable ProfileFile Shared;
  bool CreateFolder;
};

} // namespace nq

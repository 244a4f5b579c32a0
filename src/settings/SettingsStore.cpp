#include "settings/SettingsStore.h"

#include "settings/ConfigLocation.h"
#include "settings/SettingsKeys.h"

namespace nq {

SettingsStore::SettingsStore(std::string settingsPath, std::string sharedPath, bool createFolder)
    : Settings(std::move(settingsPath)), Shared(std::move(sharedPath)), CreateFolder(createFolder) {}

std::string SettingsStore::ReadSettingText(std::string_view section, std::string_view key,
                                           std::string_view def) const {
  Settings.Refresh();
  return Settings.ReadText(section, key, def);
}

bool SettingsStore::WriteSettingText(std::string_view section, std::string_view key, std::string_view text) {
  PrepareFolder();
  return Settings.WriteText(section, key, text);
}

int32_t SettingsStore::ReadSettingInteger(std::string_view section, std::string_view key, int32_t def) const {
  Settings.Refresh();
  return Settings.ReadInteger(section, key, def);
}

bool SettingsStore::WriteSettingInteger(std::string_view section, std::string_view key, int32_t value) {
  PrepareFolder();
  return Settings.WriteInteger(section, key, value);
}

bool SettingsStore::ReadSettingFlag(std::string_view section, std::string_view key, bool def) const {
  Settings.Refresh();
  return Settings.ReadFlag(section, key, def);
}

bool SettingsStore::WriteSettingFlag(std::string_view section, std::string_view key, bool value) {
  PrepareFolder();
  return Settings.WriteFlag(section, key, value);
}

bool SettingsStore::ReadSettingYes(std::string_view section, std::string_view key,
                                   std::string_view defaultText) const {
  return ReadSettingText(section, key, defaultText) == YesText;
}

bool SettingsStore::WriteSettingYesNo(std::string_view section, std::string_view key, bool yes) {
  return WriteSettingText(section, key, yes ? YesText : NoText);
}

bool SettingsStore::ReadSettingAccentedYes(std::string_view section, std::string_view key,
                                           std::string_view defaultText) const {
  return ReadSettingText(section, key, defaultText) == AccentedYesText;
}

bool SettingsStore::WriteSettingAccentedYesNo(std::string_view section, std::string_view key, bool yes) {
  return WriteSettingText(section, key, yes ? AccentedYesText : NoText);
}

std::string SettingsStore::ReadSharedText(std::string_view section, std::string_view key,
                                          std::string_view def) const {
  Shared.Refresh();
  return Shared.ReadText(section, key, def);
}

bool SettingsStore::ReadSharedAccentedYes(std::string_view section, std::string_view key,
                                          std::string_view defaultText) const {
  return ReadSharedText(section, key, defaultText) == AccentedYesText;
}

void SettingsStore::PrepareFolder() {
  if (!CreateFolder) return;
  const std::string& path = Settings.Path();
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return;
  try {
    CreateFolderPath(path.substr(0, slash));
  } catch (...) {
    // Out of memory: the write that follows fails and is ignored like any failed write.
  }
}

} // namespace nq

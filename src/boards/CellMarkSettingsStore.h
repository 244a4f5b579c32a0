#pragma once
// The program settings store as the source of the menu-board marks.
#include "boards/CellMarks.h"
#include "settings/SettingsStore.h"

namespace nq {

class CellMarkSettingsStore final : public CellMarkSettings {
public:
  explicit CellMarkSettingsStore(const SettingsStore& store) : Store(store) {}
  std::string ReadSettingText(std::string_view section, std::string_view key, std::string_view def) override {
    return Store.ReadSettingText(section, key, def);
  }
  int32_t ReadSettingInteger(std::string_view section, std::string_view key, int32_t def) override {
    return Store.ReadSettingInteger(section, key, def);
  }
  bool ReadSettingFlag(std::string_view section, std::string_view key, bool def) override {
    return Store.ReadSettingFlag(section, key, def);
  }

private:
  const SettingsStore& Store;
};

} // namespace nq

#pragma once
// Fakes for the cell and grid tests: fixed caption heights, a scaler that counts its calls, settings
// held in a map, and settings with every option of a section on.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "boards/CellMarks.h"
#include "platform/ImageScaler.h"
#include "platform/TextMetrics.h"

namespace nq::test {

class FakeTextMetrics final : public TextMetrics {
public:
  int Height = 16;
  int Calls = 0;
  int LineHeight(const FontSpec&) override {
    ++Calls;
    return Height;
  }
  int TextWidth(const FontSpec&, const std::string& text) override {
    return static_cast<int>(text.size()) * 7;
  }
  int PixelsPerInch() override { return 96; }
};

class FakeScaler final : public ImageScaler {
public:
  int Calls = 0;
  bool Fail = false;
  Image Scale(const Image&, int width, int height) override {
    ++Calls;
    if (Fail) return {};
    Image out;
    out.Width = width;
    out.Height = height;
    out.Pixels.assign(static_cast<std::size_t>(width) * height * 4, 0x80);
    return out;
  }
};

class FakeMarkSettings final : public CellMarkSettings {
public:
  std::map<std::pair<std::string, std::string>, std::string> Values;
  int Reads = 0;

  void Set(const std::string& section, const std::string& key, const std::string& value) {
    Values[{section, key}] = value;
  }
  std::string ReadSettingText(std::string_view section, std::string_view key, std::string_view def) override {
    ++Reads;
    auto it = Values.find({std::string(section), std::string(key)});
    return it != Values.end() ? it->second : std::string(def);
  }
  int32_t ReadSettingInteger(std::string_view section, std::string_view key, int32_t def) override {
    ++Reads;
    auto it = Values.find({std::string(section), std::string(key)});
    if (it == Values.end()) return def;
    try {
      std::size_t used = 0;
      const int value = std::stoi(it->second, &used);
      return used == it->second.size() ? value : def;
    } catch (...) {
      return def;
    }
  }
  bool ReadSettingFlag(std::string_view section, std::string_view key, bool def) override {
    return ReadSettingInteger(section, key, def ? 1 : 0) != 0;
  }
};

// Settings in which every option kept in one section (every section, when none is named) is on, with
// the window placement at the given position.
class OptionsOn final : public CellMarkSettings {
public:
  OptionsOn(std::string_view section, int32_t position) : Section(section), Position(position) {}
  std::string ReadSettingText(std::string_view section, std::string_view, std::string_view) override {
    return On(section) ? "SI" : "NO";
  }
  int32_t ReadSettingInteger(std::string_view section, std::string_view, int32_t) override {
    return On(section) ? Position : -1;
  }
  bool ReadSettingFlag(std::string_view section, std::string_view, bool) override { return On(section); }

private:
  bool On(std::string_view section) const { return Section.empty() || section == Section; }
  std::string_view Section;
  int32_t Position;
};

/// Whether a menu-board cell with this special function marks an option kept in the section (any
/// section when empty).
inline bool MarksAnOptionOf(const std::string& specialFunction, std::string_view section) {
  for (int32_t position = 0; position <= 8; ++position) {
    OptionsOn on(section, position);
    if (IsMarkedOption(specialFunction, on)) return true;
  }
  return false;
}

inline std::shared_ptr<const Image> SolidPicture(int width, int height) {
  auto image = std::make_shared<Image>();
  image->Width = width;
  image->Height = height;
  image->Pixels.assign(static_cast<std::size_t>(width) * height * 4, 0xFF);
  return image;
}

} // namespace nq::test

#pragma once
// The main menu as data: names, captions, checked, visible and enabled states. The front end builds
// its menu bar from this and reports clicks by item name; the core changes states here only.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nq {

// How an item shows its state: commands show none, options a check mark, choices a radio mark.
enum class MenuMark { None, Check, Radio };

struct MenuItem {
  std::string Name;    // the control name, e.g. "MenuSpeak"
  std::string Caption; // Windows-1252; "&" marks the access key
  bool Checked = false;
  bool Visible = true;
  bool Enabled = true;
  bool StopsScanning = false; // top-level menus whose opening stops scanning
  MenuMark Mark = MenuMark::Check;
  std::vector<MenuItem> Children;
};

// Items of the "Accesibilidad visual" submenu of "Opciones".
inline constexpr std::string_view DwellProgressItemName = "MenuProgresoClicAutomatico";
inline constexpr std::string_view InvertHighlightItemName = "MenuInvertirResaltado";
// The highlight widths offered (0: the board's own frame); the settings take any width up to 20.
inline constexpr std::array<int32_t, 11> HighlightWidthChoices = {0, 1, 2, 3, 4, 6, 8, 10, 12, 15, 20};
/// The radio item of a highlight width, and of the colour at index i of the offered colours.
std::string HighlightWidthItemName(int32_t width);
std::string HighlightColourItemName(size_t index);

class MenuModel {
public:
  /// Builds the main menu with every item in its state at window creation.
  MenuModel();

  const std::vector<MenuItem>& TopLevel() const { return Items; }
  /// The item with that name anywhere in the tree, or nullptr.
  MenuItem* Find(const std::string& name);
  const MenuItem* Find(const std::string& name) const;

  bool Checked(const std::string& name) const;
  void SetChecked(const std::string& name, bool checked);
  void SetVisible(const std::string& name, bool visible);
  void SetEnabled(const std::string& name, bool enabled);
  /// Flips the checked state and returns the new one.
  bool Toggle(const std::string& name);

  /// Grows with every change, so a view knows when to refresh.
  uint64_t Revision() const { return Changes; }

  /// The nine "Position" items in value order 0..8.
  static const std::vector<std::string>& PositionItemNames();

private:
  std::vector<MenuItem> Items;
  uint64_t Changes = 0;
};

} // namespace nq

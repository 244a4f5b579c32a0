#include "linux/XkbKeyboardLayout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include <bit>
#include <memory>
#include <string>

#include "linux/X11Pointer.h"
#include "text/Encoding.h"

#undef None

namespace nq {
namespace {

// Punctuation keys by their place on a standard (pc105) keyboard, the way a Windows layout names them.
struct OemPlace {
  VirtualKey Key;
  uint8_t Keycode;
};
constexpr OemPlace OemPlaces[] = {
    {VirtualKey::OemMinus, 20}, {VirtualKey::OemPlus, 21},   {VirtualKey::Oem4, 34}, {VirtualKey::Oem6, 35},
    {VirtualKey::Oem1, 47},     {VirtualKey::Oem7, 48},      {VirtualKey::Oem3, 49}, {VirtualKey::Oem5, 51},
    {VirtualKey::OemComma, 59}, {VirtualKey::OemPeriod, 60}, {VirtualKey::Oem2, 61}, {VirtualKey::Oem102, 94},
};
constexpr uint8_t FirstDigitKeycode = 10; // "1"; "0" is at 19

// Keys named by what they do; the keysym finds them on any layout.
unsigned long FunctionKeysym(unsigned code) {
  switch (code) {
  case 8:
    return XK_BackSpace;
  case 9:
    return XK_Tab;
  case 13:
    return XK_Return;
  case 16:
  case 160:
    return XK_Shift_L;
  case 161:
    return XK_Shift_R;
  case 17:
  case 162:
    return XK_Control_L;
  case 163:
    return XK_Control_R;
  case 18:
  case 164:
    return XK_Alt_L;
  case 19:
    return XK_Pause;
  case 20:
    return XK_Caps_Lock;
  case 27:
    return XK_Escape;
  case 32:
    return XK_space;
  case 33:
    return XK_Prior;
  case 34:
    return XK_Next;
  case 35:
    return XK_End;
  case 36:
    return XK_Home;
  case 37:
    return XK_Left;
  case 38:
    return XK_Up;
  case 39:
    return XK_Right;
  case 40:
    return XK_Down;
  case 44:
    return XK_Print;
  case 45:
    return XK_Insert;
  case 46:
    return XK_Delete;
  case 91:
    return XK_Super_L;
  case 92:
    return XK_Super_R;
  case 93:
    return XK_Menu;
  case 106:
    return XK_KP_Multiply;
  case 107:
    return XK_KP_Add;
  case 109:
    return XK_KP_Subtract;
  case 110:
    return XK_KP_Decimal;
  case 111:
    return XK_KP_Divide;
  case 144:
    return XK_Num_Lock;
  case 145:
    return XK_Scroll_Lock;
  default:
    break;
  }
  if (code >= 96 && code <= 105) return XK_KP_0 + (code - 96);
  if (code >= 112 && code <= 135) return XK_F1 + (code - 112);
  return 0;
}

struct XkbDescDeleter {
  void operator()(XkbDescPtr xkb) const { XkbFreeKeyboard(xkb, 0, True); }
};
using XkbDesc = std::unique_ptr<XkbDescRec, XkbDescDeleter>;

// The keyboard map is read again for each question: a layout switched by the user (setxkbmap, a
// panel applet) must count at once, and a question costs one round trip.
struct Keymap {
  XkbDesc Desc;
  int Group = 0;
  unsigned LevelThreeMask = Mod5Mask;

  explicit Keymap(Display* display) {
    if (!display) return;
    Desc.reset(XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd));
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) == Success) Group = state.group;
    const KeyCode chooser = XKeysymToKeycode(display, XK_ISO_Level3_Shift);
    if (Desc && chooser && Desc->map->modmap && Desc->map->modmap[chooser])
      LevelThreeMask = Desc->map->modmap[chooser];
  }
  bool Valid() const { return Desc && Desc->map; }
  int GroupOf(unsigned keycode) const {
    const int groups = XkbKeyNumGroups(Desc.get(), keycode);
    return groups > 0 ? Group % groups : -1;
  }
  KeySym Sym(unsigned keycode, int level) const {
    const int group = GroupOf(keycode);
    if (group < 0) return NoSymbol;
    const XkbKeyTypePtr type = XkbKeyKeyType(Desc.get(), keycode, group);
    if (level >= type->num_levels) return NoSymbol;
    return XkbKeySymEntry(Desc.get(), keycode, level, group);
  }
  // The smallest modifier mask that chooses the level; false when no entry of the key type does.
  bool LevelMask(unsigned keycode, int level, unsigned& mask) const {
    if (level == 0) {
      mask = 0;
      return true;
    }
    const XkbKeyTypePtr type = XkbKeyKeyType(Desc.get(), keycode, GroupOf(keycode));
    bool found = false;
    for (int i = 0; i < type->map_count; ++i) {
      const XkbKTMapEntryRec& entry = type->map[i];
      if (!entry.active || entry.level != level) continue;
      const unsigned entryMask = entry.mods.mask;
      if (entryMask & LockMask) continue; // a level chosen by Caps Lock is no use for typing
      if (!found || std::popcount(entryMask) < std::popcount(mask)) mask = entryMask;
      found = true;
    }
    return found;
  }
};

VirtualKey VirtualKeyIn(const Keymap& map, unsigned keycode) {
  const KeySym base = map.Sym(keycode, 0);
  if (base >= XK_a && base <= XK_z) return static_cast<VirtualKey>('A' + (base - XK_a));
  if (keycode >= FirstDigitKeycode && keycode < FirstDigitKeycode + 10)
    return static_cast<VirtualKey>(keycode == FirstDigitKeycode + 9 ? '0'
                                                                    : '1' + (keycode - FirstDigitKeycode));
  for (const OemPlace& place : OemPlaces)
    if (place.Keycode == keycode) return place.Key;
  if (base == XK_space) return VirtualKey::Space;
  return VirtualKey::None;
}

} // namespace

unsigned long KeysymForCharacter(char character) {
  const auto byte = static_cast<unsigned char>(character);
  if (byte < 0x20) return 0;
  // One Windows-1252 character is at most three bytes of UTF-8.
  const std::string utf8 = Windows1252ToUtf8(std::string(1, character));
  uint32_t code = 0;
  const auto b = [&](size_t i) { return static_cast<unsigned char>(utf8[i]); };
  if (utf8.size() == 1)
    code = b(0);
  else if (utf8.size() == 2)
    code = (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
  else if (utf8.size() == 3)
    code = (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
  else
    return 0;
  return xkb_utf32_to_keysym(code);
}

_XDisplay* XkbKeyboardLayout::Connection() const {
  return Display ? Display : ApplicationXDisplay();
}

KeyScan XkbKeyboardLayout::ScanCharacter(char character) {
  const KeySym wanted = KeysymForCharacter(character);
  const Keymap map(Connection());
  if (wanted == 0 || !map.Valid()) return {};
  const unsigned usable = ShiftMask | map.LevelThreeMask;
  KeyScan best;
  int bestCost = 99;
  for (unsigned keycode = map.Desc->min_key_code; keycode <= map.Desc->max_key_code; ++keycode) {
    if (map.GroupOf(keycode) < 0) continue;
    const int levels = XkbKeyKeyType(map.Desc.get(), keycode, map.GroupOf(keycode))->num_levels;
    for (int level = 0; level < levels; ++level) {
      unsigned mask = 0;
      if (map.Sym(keycode, level) != wanted || !map.LevelMask(keycode, level, mask) || (mask & ~usable))
        continue;
      const VirtualKey key = VirtualKeyIn(map, keycode);
      // Fewest modifiers first, then Shift before AltGr, as a typist would choose.
      const int cost = ((mask & ShiftMask) ? 1 : 0) + ((mask & map.LevelThreeMask) ? 2 : 0);
      if (key == VirtualKey::None || cost >= bestCost) continue;
      best = {key, (mask & ShiftMask) != 0, (mask & map.LevelThreeMask) != 0};
      bestCost = cost;
    }
  }
  return best;
}

VirtualKey XkbKeyboardLayout::VirtualKeyOf(uint8_t keycode) {
  const Keymap map(Connection());
  if (!map.Valid() || keycode < map.Desc->min_key_code || keycode > map.Desc->max_key_code)
    return VirtualKey::None;
  return VirtualKeyIn(map, keycode);
}

uint8_t XkbKeyboardLayout::KeycodeFor(VirtualKey key) {
  ::Display* display = Connection();
  if (!display) return 0;
  const auto code = static_cast<unsigned>(key);
  if (code == static_cast<unsigned>(VirtualKey::AltGr) || code == 165) {
    // The right Alt key is AltGr where the layout has a third level; else it is plain Alt.
    if (const KeyCode chooser = XKeysymToKeycode(display, XK_ISO_Level3_Shift)) return chooser;
    return XKeysymToKeycode(display, XK_Alt_R);
  }
  if (code >= '0' && code <= '9')
    return static_cast<uint8_t>(code == '0' ? FirstDigitKeycode + 9 : FirstDigitKeycode + (code - '1'));
  for (const OemPlace& place : OemPlaces)
    if (place.Key == key) return place.Keycode;
  if (code >= 'A' && code <= 'Z') {
    // The key whose first level is the letter on this layout (AZERTY's A is QWERTY's Q).
    const Keymap map(display);
    if (map.Valid())
      for (unsigned keycode = map.Desc->min_key_code; keycode <= map.Desc->max_key_code; ++keycode)
        if (map.Sym(keycode, 0) == XK_a + (code - 'A')) return static_cast<uint8_t>(keycode);
    return XKeysymToKeycode(display, XK_a + (code - 'A'));
  }
  if (const unsigned long keysym = FunctionKeysym(code)) return XKeysymToKeycode(display, keysym);
  return 0;
}

} // namespace nq

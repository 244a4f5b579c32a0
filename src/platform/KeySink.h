#pragma once
// Synthesised key events for whichever window has the keyboard focus: another program's window in the
// external-window mode, the message memo in the letters-or-words mode. Keys are named by the Windows
// virtual-key codes that boards and commands are written in; a back end maps them to its own keys.
#include <cstdint>

namespace nq {

enum class VirtualKey : uint8_t {
  None = 0,
  Backspace = 8,
  Tab = 9,
  Return = 13,
  Shift = 16,
  Control = 17,
  Alt = 18,
  Escape = 27,
  Space = 32,
  PageUp = 33,
  PageDown = 34,
  End = 35,
  Home = 36,
  Left = 37,
  Up = 38,
  Right = 39,
  Down = 40,
  Insert = 45,
  Delete = 46,
  LeftWindows = 91,
  RightWindows = 92,
  ContextMenu = 93,
  F1 = 112,
  AltGr = 165, // the right Alt key, which is AltGr where the layout has one
  // Keys of punctuation (the sink places them by their position on a standard keyboard).
  Oem1 = 186,
  OemPlus = 187,
  OemComma = 188,
  OemMinus = 189,
  OemPeriod = 190,
  Oem2 = 191,
  Oem3 = 192,
  Oem4 = 219,
  Oem5 = 220,
  Oem6 = 221,
  Oem7 = 222,
  Oem102 = 226,
};

class KeySink {
public:
  virtual ~KeySink() = default;
  /// Presses the key (no scan code, no extra data).
  virtual void KeyDown(VirtualKey key) = 0;
  /// Releases the key.
  virtual void KeyUp(VirtualKey key) = 0;
  /// The key that types the character on the current keyboard layout, its shift state dropped;
  /// VirtualKey::None when the layout has no such key.
  virtual VirtualKey KeyForCharacter(char character) = 0;
  /// Types a character that no key of the layout produces (for a moment through a spare key);
  /// false when the sink cannot, and the caller falls back to the clipboard.
  virtual bool TypeCharacterWithoutKey(char /*character*/) { return false; }
};

} // namespace nq

#pragma once
// Synthesised key events for whichever window has the keyboard focus: another program's window in the
// external-window mode, the message memo in the letters-or-words mode. Keys are named by the Windows
// virtual-key codes that boards and commands are written in; a back end maps them to its own keys.
#include <cstdint>

namespace nq {

enum class VirtualKey : uint8_t {
  None = 0,
  Backspace = 8,
  Shift = 16,
  Control = 17,
  End = 35,
  Home = 36,
  Left = 37,
  Delete = 46,
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
};

} // namespace nq

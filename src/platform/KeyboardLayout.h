#pragma once
// Which key, and which modifiers with it, type a character on the keyboard layout in use.
#include <cstdint>

#include "platform/KeySink.h"

namespace nq {

struct KeyScan {
  VirtualKey Key = VirtualKey::None; // None: no key of the layout types the character
  bool Shift = false;
  bool AltGr = false; // the third-level chooser (AltGr, right Alt) on layouts that have one

  bool Found() const { return Key != VirtualKey::None; }
  bool NeedsModifier() const { return Shift || AltGr; }
  /// The answer in the form boards and old tools know: key code in the low byte, shift state in the
  /// high byte (1 Shift, 6 AltGr as Control+Alt), -1 for no key.
  int16_t Packed() const {
    if (!Found()) return -1;
    return static_cast<int16_t>(static_cast<int>(Key) | ((Shift ? 1 : 0) | (AltGr ? 6 : 0)) << 8);
  }
};

class KeyboardLayout {
public:
  virtual ~KeyboardLayout() = default;
  /// The key and the modifiers that type the Windows-1252 character on the current layout.
  virtual KeyScan ScanCharacter(char character) = 0;
};

} // namespace nq

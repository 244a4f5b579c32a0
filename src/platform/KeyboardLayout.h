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
};

class KeyboardLayout {
public:
  virtual ~KeyboardLayout() = default;
  /// The key and the modifiers that type the Windows-1252 character on the current layout.
  virtual KeyScan ScanCharacter(char character) = 0;
};

} // namespace nq

#pragma once
// The keyboard layout the X server uses now, read through XKB: which key and modifiers type a
// character, and which key code a Windows virtual-key code stands for. Xlib stays out of this header.
#include <cstdint>

#include "platform/KeyboardLayout.h"

struct _XDisplay;

namespace nq {

class XkbKeyboardLayout final : public KeyboardLayout {
public:
  /// display: the connection to ask; the application's own when null.
  explicit XkbKeyboardLayout(_XDisplay* display = nullptr) : Display(display) {}

  KeyScan ScanCharacter(char character) override;

  /// The X key code a virtual-key code stands for on the current layout; 0 for none.
  uint8_t KeycodeFor(VirtualKey key);
  /// The virtual-key code of an X key code in the current group; None for a key no table names.
  VirtualKey VirtualKeyOf(uint8_t keycode);

private:
  _XDisplay* Connection() const;
  _XDisplay* Display;
};

/// The X keysym of a Windows-1252 character; 0 for none (control characters).
unsigned long KeysymForCharacter(char character);

} // namespace nq

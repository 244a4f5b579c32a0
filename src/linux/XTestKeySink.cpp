#include "linux/XTestKeySink.h"

#include "linux/X11Pointer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// Xlib's "None" macro would hide the key enumeration's own None.
#undef None

namespace nq {

unsigned long XTestKeySink::KeysymFor(VirtualKey key) {
  const auto code = static_cast<unsigned>(key);
  switch (key) {
  case VirtualKey::Backspace:
    return XK_BackSpace;
  case VirtualKey::Shift:
    return XK_Shift_L;
  case VirtualKey::Control:
    return XK_Control_L;
  case VirtualKey::End:
    return XK_End;
  case VirtualKey::Home:
    return XK_Home;
  case VirtualKey::Left:
    return XK_Left;
  case VirtualKey::Delete:
    return XK_Delete;
  default:
    break;
  }
  // Letter keys are named by their capital; X names the key by its lower-case keysym.
  if (code >= 'A' && code <= 'Z') return XK_a + (code - 'A');
  if (code >= '0' && code <= '9') return XK_0 + (code - '0');
  return 0;
}

VirtualKey XTestKeySink::KeyForCharacter(char character) {
  const auto c = static_cast<unsigned char>(character);
  if (c >= 'a' && c <= 'z') return static_cast<VirtualKey>(c - 'a' + 'A');
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<VirtualKey>(c);
  return VirtualKey::None;
}

void XTestKeySink::Send(VirtualKey key, bool down) {
  Display* display = ApplicationXDisplay();
  const unsigned long keysym = KeysymFor(key);
  if (!display || keysym == 0) return;
  const KeyCode keycode = XKeysymToKeycode(display, keysym);
  if (keycode == 0) return;
  XTestFakeKeyEvent(display, keycode, down ? True : False, CurrentTime);
  XFlush(display);
}

void XTestKeySink::KeyDown(VirtualKey key) {
  Send(key, true);
}
void XTestKeySink::KeyUp(VirtualKey key) {
  Send(key, false);
}

} // namespace nq

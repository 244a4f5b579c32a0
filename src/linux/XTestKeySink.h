#pragma once
// Key events for the focused window through the X server's XTest extension: they reach any
// application as real typing would, and our own memo when our window has the focus.
#include "platform/KeySink.h"

namespace nq {

class XTestKeySink : public KeySink {
public:
  void KeyDown(VirtualKey key) override;
  void KeyUp(VirtualKey key) override;
  VirtualKey KeyForCharacter(char character) override;

  /// The X keysym a virtual-key code stands for (letters as lower case); 0 for none.
  static unsigned long KeysymFor(VirtualKey key);

private:
  void Send(VirtualKey key, bool down);
};

} // namespace nq

#pragma once
// Key events for the focused window through the X server's XTest extension: they reach any
// application as real typing would, and our own memo when our window has the focus.
//
// Every key this sink holds down is recorded, and released when the sink goes away, when the program
// exits, on SIGTERM, SIGINT and SIGHUP, and when Qt ends the program because the X connection broke:
// a key left down would stay down for the user's whole session.
#include <array>
#include <cstdint>

#include "linux/XkbKeyboardLayout.h"
#include "platform/KeySink.h"

namespace nq {

class XTestKeySink : public KeySink {
public:
  XTestKeySink();
  ~XTestKeySink() override;
  XTestKeySink(const XTestKeySink&) = delete;
  XTestKeySink& operator=(const XTestKeySink&) = delete;

  void KeyDown(VirtualKey key) override;
  void KeyUp(VirtualKey key) override;
  VirtualKey KeyForCharacter(char character) override;
  bool TypeCharacterWithoutKey(char character) override;

  /// The layout this sink types with (also the program's character-to-key lookup).
  XkbKeyboardLayout& Layout() { return TheLayout; }
  /// Releases every key this sink holds and gives spare keys back their empty mapping.
  void ReleaseAll();

private:
  void Send(VirtualKey key, bool down);
  uint8_t SpareKeycode();

  XkbKeyboardLayout TheLayout;
  // Keys with no symbols on the current map, lent one at a time to a character the layout lacks.
  std::array<uint8_t, 4> Spares{};
  int SpareCount = -1; // -1 until looked for
  int NextSpare = 0;
};

} // namespace nq

#include "linux/XTestKeySink.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "linux/X11Pointer.h"

#undef None

namespace nq {
namespace {

// Key codes held down now (by any sink), and the spare key codes remapped, readable from the
// release thread without locks.
std::array<std::atomic<bool>, 256> HeldKeycodes{};
std::array<std::atomic<bool>, 256> RemappedKeycodes{};
std::string DisplayName;
int SignalPipe[2] = {-1, -1};

// Lets go of everything on a connection of its own: the application's connection may be in the middle
// of a request (a signal) or gone (a broken connection).
void ReleaseOnOwnConnection() {
  bool any = false;
  for (size_t i = 0; i < HeldKeycodes.size(); ++i)
    any = any || HeldKeycodes[i] || RemappedKeycodes[i];
  if (!any) return;
  ::Display* display = XOpenDisplay(DisplayName.empty() ? nullptr : DisplayName.c_str());
  if (!display) return;
  for (unsigned keycode = 0; keycode < HeldKeycodes.size(); ++keycode) {
    if (HeldKeycodes[keycode].exchange(false)) XTestFakeKeyEvent(display, keycode, False, CurrentTime);
    if (RemappedKeycodes[keycode].exchange(false)) {
      KeySym empty[2] = {NoSymbol, NoSymbol};
      XChangeKeyboardMapping(display, static_cast<int>(keycode), 2, empty, 1);
    }
  }
  XSync(display, False);
  XCloseDisplay(display);
}

void OnSignal(int signal) {
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t written = write(SignalPipe[1], &byte, 1);
}

// The handler only writes the signal down; this thread does the X work and then ends the program the
// way the signal would have.
void InstallReleaseGuards() {
  static bool installed = false;
  // Close-on-exec: every program the player starts would otherwise hold the pipe.
  if (installed || pipe2(SignalPipe, O_CLOEXEC) != 0) return;
  installed = true;
  std::thread([] {
    char byte = 0;
    while (read(SignalPipe[0], &byte, 1) != 1) {
    }
    ReleaseOnOwnConnection();
    std::signal(byte, SIG_DFL);
    std::raise(byte);
  }).detach();
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    struct sigaction inherited {};
    // A signal the program was started to ignore (nohup) stays ignored.
    if (sigaction(signal, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
  // Qt leaves through exit() when the X connection breaks; keys held then are let go from here.
  std::atexit(ReleaseOnOwnConnection);
}

} // namespace

XTestKeySink::XTestKeySink() {
  if (::Display* display = ApplicationXDisplay()) DisplayName = DisplayString(display);
  InstallReleaseGuards();
}

XTestKeySink::~XTestKeySink() {
  ReleaseAll();
}

VirtualKey XTestKeySink::KeyForCharacter(char character) {
  return TheLayout.ScanCharacter(character).Key;
}

void XTestKeySink::Send(VirtualKey key, bool down) {
  ::Display* display = ApplicationXDisplay();
  if (!display) return;
  const uint8_t keycode = TheLayout.KeycodeFor(key);
  if (keycode == 0) return;
  HeldKeycodes[keycode] = down;
  XTestFakeKeyEvent(display, keycode, down ? True : False, CurrentTime);
  XFlush(display);
}

void XTestKeySink::KeyDown(VirtualKey key) {
  Send(key, true);
}
void XTestKeySink::KeyUp(VirtualKey key) {
  Send(key, false);
}

uint8_t XTestKeySink::SpareKeycode() {
  ::Display* display = ApplicationXDisplay();
  if (SpareCount < 0) {
    SpareCount = 0;
    int low = 0;
    int high = 0;
    XDisplayKeycodes(display, &low, &high);
    int perKey = 0;
    KeySym* syms = XGetKeyboardMapping(display, static_cast<KeyCode>(low), high - low + 1, &perKey);
    if (!syms) return 0;
    // From the top: the low key codes are real keys of a real keyboard.
    for (int keycode = high; keycode >= low && SpareCount < static_cast<int>(Spares.size()); --keycode) {
      bool empty = true;
      for (int i = 0; i < perKey; ++i)
        empty = empty && syms[(keycode - low) * perKey + i] == NoSymbol;
      if (empty) Spares[static_cast<size_t>(SpareCount++)] = static_cast<uint8_t>(keycode);
    }
    XFree(syms);
  }
  if (SpareCount == 0) return 0;
  // Taking turns: the application may read a key after we lent the same key to the next character.
  const uint8_t keycode = Spares[static_cast<size_t>(NextSpare)];
  NextSpare = (NextSpare + 1) % SpareCount;
  return keycode;
}

bool XTestKeySink::TypeCharacterWithoutKey(char character) {
  ::Display* display = ApplicationXDisplay();
  const unsigned long keysym = KeysymForCharacter(character);
  if (!display || keysym == 0) return false;
  const uint8_t keycode = SpareKeycode();
  if (keycode == 0) return false;
  KeySym syms[2] = {keysym, keysym};
  XChangeKeyboardMapping(display, keycode, 2, syms, 1);
  RemappedKeycodes[keycode] = true;
  XSync(display, False);
  HeldKeycodes[keycode] = true;
  XTestFakeKeyEvent(display, keycode, True, CurrentTime);
  XTestFakeKeyEvent(display, keycode, False, CurrentTime);
  HeldKeycodes[keycode] = false;
  XFlush(display);
  return true;
}

void XTestKeySink::ReleaseAll() {
  ::Display* display = ApplicationXDisplay();
  if (!display) return;
  for (unsigned keycode = 0; keycode < HeldKeycodes.size(); ++keycode) {
    if (HeldKeycodes[keycode].exchange(false)) XTestFakeKeyEvent(display, keycode, False, CurrentTime);
    if (RemappedKeycodes[keycode].exchange(false)) {
      KeySym empty[2] = {NoSymbol, NoSymbol};
      XChangeKeyboardMapping(display, static_cast<int>(keycode), 2, empty, 1);
    }
  }
  XSync(display, False);
}

} // namespace nq

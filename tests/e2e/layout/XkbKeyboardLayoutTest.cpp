// The character-to-key lookup against the X server's real keymaps, switched with setxkbmap.
// Runs inside tests/e2e/session.sh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "linux/XkbKeyboardLayout.h"
// After GoogleTest: Xlib's macros (None, Bool) would break its templates.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#undef None

namespace nq {
namespace {

class XkbKeyboardLayoutTest : public ::testing::Test {
protected:
  void SetUp() override {
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X server";
  }
  void TearDown() override {
    if (display) XCloseDisplay(display);
  }
  void Use(const std::string& layout) {
    ASSERT_EQ(std::system(("setxkbmap " + layout).c_str()), 0) << layout;
    XSync(display, False);
  }

  ::Display* display = nullptr;
};

struct Expected {
  const char* Layout;
  char Character;
  int Key; // 0: no key types it
  bool Shift;
  bool AltGr;
};

constexpr int Oem1 = 186, Oem4 = 219, Oem5 = 220;

TEST_F(XkbKeyboardLayoutTest, AnswersKeyAndTheModifiersReallyNeeded) {
  const Expected cases[] = {
      {"us", 'a', 'A', false, false},     {"us", 'A', 'A', true, false},
      {"us", '@', '2', true, false},      {"us", '#', '3', true, false},
      {"us", '[', Oem4, false, false},    {"us", '\x80', 0, false, false},
      {"us", '\xE7', 0, false, false},    {"us", '\xF1', 0, false, false},
      {"us", '\xB7', 0, false, false},    {"es", '@', '2', false, true},
      {"es", '#', '3', false, true},      {"es", '\x80', 'E', false, true},
      {"es", '[', '8', false, true},      {"es", '\xE7', Oem5, false, false},
      {"es", '\xF1', Oem1, false, false}, {"es", '\xB7', '3', true, false},
      {"es", '?', 189, true, false},      {"fr", 'a', 'A', false, false},
      {"fr", '1', '1', true, false},      {"fr", '@', '0', false, true},
      {"fr", '#', '3', false, true},      {"fr", '\x80', 'E', false, true},
      {"fr", '[', '5', false, true},      {"fr", '\xE7', '9', false, false},
      {"fr", '\xF1', 0, false, false},
  };
  XkbKeyboardLayout layout(display);
  std::string current;
  for (const Expected& e : cases) {
    if (current != e.Layout) Use(current = e.Layout);
    const KeyScan scan = layout.ScanCharacter(e.Character);
    const std::string what =
        std::string(e.Layout) + " " + std::to_string(static_cast<unsigned char>(e.Character));
    EXPECT_EQ(static_cast<int>(scan.Key), e.Key) << what;
    EXPECT_EQ(scan.Shift, e.Shift) << what;
    EXPECT_EQ(scan.AltGr, e.AltGr) << what;
  }
}

// Whatever the lookup answers, the key code the sink will press, at the level the modifiers choose,
// types that very character.
TEST_F(XkbKeyboardLayoutTest, EveryAnswerTypesTheCharacterBack) {
  XkbKeyboardLayout layout(display);
  for (const char* name : {"us", "es", "fr"}) {
    Use(name);
    int found = 0;
    for (int c = 0x20; c <= 0xFF; ++c) {
      const KeyScan scan = layout.ScanCharacter(static_cast<char>(c));
      if (!scan.Found()) continue;
      ++found;
      const uint8_t keycode = layout.KeycodeFor(scan.Key);
      const int level = (scan.Shift ? 1 : 0) + (scan.AltGr ? 2 : 0);
      EXPECT_EQ(XkbKeycodeToKeysym(display, keycode, 0, level), KeysymForCharacter(static_cast<char>(c)))
          << name << " " << c;
      EXPECT_EQ(layout.VirtualKeyOf(keycode), scan.Key) << name << " " << c;
    }
    EXPECT_GT(found, 90) << name; // at least the printable ASCII
  }
}

// Every key the named-key table, the latches and the button bar send has a key on each layout.
TEST_F(XkbKeyboardLayoutTest, EveryKeyTheProgramSendsHasAKeycode) {
  std::vector<int> codes = {8,  9,  13, 16, 17, 18, 27, 32, 33, 34, 35,
                            36, 37, 38, 39, 40, 45, 46, 91, 92, 93, 165};
  for (int code = 112; code <= 123; ++code)
    codes.push_back(code);
  for (int code = 'A'; code <= 'Z'; ++code)
    codes.push_back(code);
  for (int code = '0'; code <= '9'; ++code)
    codes.push_back(code);
  XkbKeyboardLayout layout(display);
  for (const char* name : {"us", "es", "fr"}) {
    Use(name);
    for (int code : codes)
      EXPECT_NE(layout.KeycodeFor(static_cast<VirtualKey>(code)), 0) << name << " " << code;
  }
}

} // namespace
} // namespace nq

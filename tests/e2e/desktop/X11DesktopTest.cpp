// The desktop as the window manager (openbox) reports and changes it, with plain X windows standing
// for an application and a panel. Runs inside tests/e2e/session.sh.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "linux/X11Desktop.h"
// After GoogleTest: Xlib's macros (None, Bool) would break its templates.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef None

namespace nq {
namespace {

// Polls for up to 15 s: the window manager answers asynchronously, and starts slowly on a busy machine.
bool Eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 300; ++i) {
    if (condition()) return true;
    usleep(50000);
  }
  return condition();
}

class X11DesktopTest : public ::testing::Test {
protected:
  void SetUp() override {
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X server";
  }
  void TearDown() override {
    if (display) XCloseDisplay(display);
  }
  Window Open(const char* title, const char* type = nullptr) {
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, 300, 200, 0, 0, 0);
    XStoreName(display, window, title);
    if (type) {
      const Atom value = XInternAtom(display, type, False);
      XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                      PropModeReplace, reinterpret_cast<const unsigned char*>(&value), 1);
    }
    XMapWindow(display, window);
    XSync(display, False);
    return window;
  }

  ::Display* display = nullptr;
};

TEST_F(X11DesktopTest, FindsActivatesAndMovesAnApplicationWindow) {
  X11Desktop desktop(display);
  const Window editor = Open("Receptor de prova");
  const Window panel = Open("Panell", "_NET_WM_WINDOW_TYPE_DOCK");
  ASSERT_TRUE(Eventually([&] { return desktop.FindWindowByTitle("de prova") == editor; }));
  EXPECT_EQ(desktop.FindWindowByTitle("Receptor de prova, no"), 0u);
  EXPECT_EQ(desktop.FindWindowByTitle("receptor"), 0u); // titles are matched case-sensitively

  desktop.ActivateWindow(editor);
  EXPECT_TRUE(Eventually([&] { return desktop.ForegroundWindow() == editor; }));
  EXPECT_TRUE(desktop.IsNormalApplicationWindow(editor));
  EXPECT_FALSE(desktop.IsNormalApplicationWindow(panel));
  EXPECT_FALSE(desktop.IsNormalApplicationWindow(DefaultRootWindow(display)));
  EXPECT_EQ(desktop.TopApplicationWindow(0), editor);

  const DesktopRect work = desktop.WorkArea();
  EXPECT_GT(work.Width, 0);
  EXPECT_GT(work.Height, 0);
  const DesktopRect wanted{work.Left + 100, work.Top + 50, 500, 320};
  desktop.MoveResizeWindow(editor, wanted);
  DesktopRect frame;
  EXPECT_TRUE(Eventually([&] {
    return desktop.WindowFrameRect(editor, frame) && frame.Left == wanted.Left && frame.Top == wanted.Top &&
           frame.Width == wanted.Width && frame.Height == wanted.Height;
  })) << frame.Left
      << "," << frame.Top << " " << frame.Width << "x" << frame.Height;
}

} // namespace
} // namespace nq

// Under X11 a drag is reported only when it ends, so a move the program did not ask for is the user's,
// but only once 0.7 s have passed since the program (or the window manager mapping it) placed the window.
#include <QThread>
#include <gtest/gtest.h>

#include "ui/MainWindow.h"

namespace nq {
namespace {

TEST(WindowMovesTest, MovesSoonAfterTheProgramPlacedTheWindowAreNotTheUsers) {
  MainWindow window("");
  EXPECT_FALSE(window.LeftButtonDown()); // hidden: nobody drags it
  window.show();
  EXPECT_FALSE(window.LeftButtonDown()); // the window manager places it as it maps it
  QThread::msleep(800);
  EXPECT_TRUE(window.LeftButtonDown());
  window.SetWindowRect({10, 20, 700, 500});
  EXPECT_FALSE(window.LeftButtonDown());
  QThread::msleep(800);
  EXPECT_TRUE(window.LeftButtonDown());
  window.SetStayOnTop(false);
  EXPECT_FALSE(window.LeftButtonDown());
}

} // namespace
} // namespace nq

// The mouse hook between the window system and the board: which events the board takes and swallows,
// and which pass on to the widgets untouched.
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "support/WindowedPlayer.h"

namespace nq {
namespace {

// Counts the button presses that reach the board widget after the hook had its say.
class PressCounter : public QObject {
public:
  int Presses = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) ++Presses;
    return false;
  }
};

struct HookCase {
  const char* Name;
  Qt::MouseButton Button;
  QPoint At; // in the board widget
  bool ReachesWidget;
  bool ForgetsHoveredItem;
};

TEST(MouseHookTest, OnlyLeftAndRightButtonsInsideTheBoardAreTakenAndSwallowed) {
  test::WindowedPlayer<> windowed;
  MainWindow& window = windowed.Window;
  Player& player = windowed.Start();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.SetMouseHook(true);
  PressCounter counter;
  window.Board()->installEventFilter(&counter);

  const HookCase cases[] = {
      {"left inside", Qt::LeftButton, {200, 200}, false, false},
      {"right inside", Qt::RightButton, {200, 200}, false, false},
      {"middle inside", Qt::MiddleButton, {200, 200}, true, false},
      {"left on the first column", Qt::LeftButton, {0, 200}, true, true},
      {"left on the first row", Qt::LeftButton, {200, 0}, true, true},
  };
  for (const HookCase& c : cases) {
    counter.Presses = 0;
    player.Layout().HoveredItem = 7;
    const QPoint at = window.Board()->mapTo(&window, c.At);
    QTest::mousePress(window.windowHandle(), c.Button, {}, at);
    QTest::mouseRelease(window.windowHandle(), c.Button, {}, at);
    EXPECT_EQ(counter.Presses > 0, c.ReachesWidget) << c.Name;
    if (c.ForgetsHoveredItem) {
      EXPECT_EQ(player.Layout().HoveredItem, NoItem) << c.Name;
    }
  }
  window.SetMouseHook(false);
}

} // namespace
} // namespace nq

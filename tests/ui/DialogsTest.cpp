// Boxes and dialogs belong to the main window and stay above it; the splash never covers the voice window.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include "linux/QtDialogs.h"
#include "support/WindowedPlayer.h"
#include "ui/AboutBox.h"

namespace nq {
namespace {

struct ShownBox {
  bool Seen = false;
  QWidget* Owner = nullptr;
  bool AboveOthers = false;
};

// Looks at the modal box once the event loop shows it, then closes it.
void InspectNextModal(ShownBox& shown) {
  QTimer::singleShot(0, [&shown] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return;
    shown.Seen = box->isVisible();
    shown.Owner = box->parentWidget();
    shown.AboveOthers = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (auto* dialog = qobject_cast<QDialog*>(box)) dialog->reject();
  });
}

class DialogsTest : public ::testing::Test {
protected:
  void SetUp() override { Window.show(); }

  test::WindowedPlayer<> Windowed;
  MainWindow& Window = Windowed.Window;
  Player& ThePlayer = Windowed.Start();
};

TEST_F(DialogsTest, AboutBoxIsOwnedByTheMainWindowAndAboveIt) {
  ShownBox shown;
  InspectNextModal(shown);
  ThePlayer.MenuClick("MenuAbout");
  EXPECT_TRUE(shown.Seen);
  EXPECT_EQ(shown.Owner, &Window);
  EXPECT_TRUE(shown.AboveOthers);
}

TEST_F(DialogsTest, MessageBoxesAreOwnedByTheMainWindowAndAboveIt) {
  QtDialogs dialogs([this] { return &Window; }, "NexoQuadrix");
  ShownBox shown;
  InspectNextModal(shown);
  dialogs.ShowMessage("No existe el archivo: x.qdx", MessageIcon::None, "");
  EXPECT_TRUE(shown.Seen);
  EXPECT_EQ(shown.Owner, &Window);
  EXPECT_TRUE(shown.AboveOthers);
}

TEST_F(DialogsTest, VoiceWindowOnAFirstStartIsNotCoveredByTheSplash) {
  AboutBox* about = Window.findChild<AboutBox*>();
  ASSERT_NE(about, nullptr);
  bool splashShownWithTheVoiceWindow = true;
  Window.SpeechWindow = [&] { splashShownWithTheVoiceWindow = about->isVisible(); };
  Window.ShowAboutBox(true);
  ASSERT_TRUE(about->isVisible());
  Window.ShowSpeechWindow();
  EXPECT_FALSE(splashShownWithTheVoiceWindow);
  // The box shown later from the menu has its button again.
  ShownBox shown;
  InspectNextModal(shown);
  Window.ShowAboutBox(false);
  EXPECT_TRUE(shown.Seen);
  EXPECT_FALSE(about->findChild<QPushButton*>()->isHidden());
}

} // namespace
} // namespace nq

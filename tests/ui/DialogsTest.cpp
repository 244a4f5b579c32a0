// Boxes and dialogs belong to the main window and stay above it; the splash never covers the voice window.
#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
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

// The question about a folder belongs to the window, shows the folder and what would run as they are,
// and a key a switch sends at once (Return, Space, Escape) answers No.
TEST_F(DialogsTest, TheTrustQuestionIsOwnedShowsEverythingAndAStrayKeyRefuses) {
  QtDialogs dialogs([this] { return &Window; }, "NexoQuadrix");
  const std::string folder = "/srv/tableros <b>x</b>";
  const std::string whatRuns = "Programa: /bin/sh\nArgumento 1: \xAB-c\xBB";
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape}) {
    ShownBox shown;
    QString text;
    int enabledAnswers = -1;
    bool closedByKey = false;
    bool refusing = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      shown.Seen = box->isVisible();
      shown.Owner = box->parentWidget();
      shown.AboveOthers = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
      // Shown as written: a folder or argument with markup must not change how the box reads.
      text = box->textFormat() == Qt::PlainText ? box->text() : QString();
      enabledAnswers = 0;
      for (QAbstractButton* button : box->buttons())
        enabledAnswers += button->isEnabled() ? 1 : 0;
      QWidget* target = box->focusWidget() ? box->focusWidget() : box;
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "");
      QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "");
      QApplication::sendEvent(target, &press);
      QApplication::sendEvent(target, &release);
      closedByKey = !box->isVisible();
      refusing =
          box->clickedButton() != nullptr && box->buttonRole(box->clickedButton()) == QMessageBox::RejectRole;
      // Whatever the key did, the box must not stay open for the test.
      QTimer::singleShot(200, box, [box] { box->done(0); });
    });
    EXPECT_EQ(dialogs.AskFolderTrust(folder, whatRuns), TrustAnswer::No) << key;
    EXPECT_TRUE(shown.Seen);
    EXPECT_EQ(shown.Owner, &Window);
    EXPECT_TRUE(shown.AboveOthers);
    EXPECT_TRUE(text.contains(QString::fromLatin1(folder.c_str()))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromLatin1(whatRuns.c_str()))) << text.toStdString();
    EXPECT_EQ(enabledAnswers, 1) << "only No can be chosen at once";
    EXPECT_TRUE(closedByKey && refusing) << key;
  }
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

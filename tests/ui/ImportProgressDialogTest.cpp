// An import runs off the window's thread: the window keeps answering, a box shows while it lasts,
// and its cancel button reaches the running import; keys (a switch sending Return or Space) never cancel.
#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "ui/ImportProgressDialog.h"

namespace nq {
namespace {

QProgressDialog* VisibleProgressBox() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QProgressDialog*>(widget);
    if (box && box->isVisible()) return box;
  }
  return nullptr;
}

TEST(ImportProgressDialog, ALongImportShowsABoxWhoseCancelButtonAloneStopsIt) {
  QWidget window;
  ImportProgressDialog runner([&window] { return &window; });
  std::vector<bool> modal;
  runner.OnModal = [&modal](bool shown) { modal.push_back(shown); };
  exchange::ImportProgress progress;
  progress.Total = 10;
  std::atomic<bool> workerThread{false};
  const std::thread::id uiThread = std::this_thread::get_id();
  // Events still run while the import works: the window is not frozen.
  int ticks = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
  tick.start(20);
  bool clicked = false;
  bool keysSent = false;
  bool cancelledByKeys = false;
  QTimer look;
  QObject::connect(&look, &QTimer::timeout, [&] {
    QProgressDialog* box = VisibleProgressBox();
    if (!box || clicked) return;
    if (!keysSent) {
      for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape})
        QTest::keyClick(box, key);
      keysSent = true;
      return;
    }
    cancelledByKeys = progress.Cancel;
    const QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    buttons.front()->click();
    clicked = true;
  });
  look.start(50);
  runner.Run("set.obz", progress, [&] {
    workerThread = std::this_thread::get_id() != uiThread;
    // An import that would take ten seconds, stopped by the cancel button.
    for (int i = 0; i < 200 && !progress.Cancel; ++i) {
      progress.Done = i / 20;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  EXPECT_TRUE(workerThread);
  EXPECT_TRUE(clicked) << "no progress box was shown";
  EXPECT_FALSE(cancelledByKeys) << "a key cancelled the import";
  EXPECT_TRUE(progress.Cancel);
  EXPECT_GT(ticks, 5);
  EXPECT_EQ(modal, (std::vector<bool>{true, false}));
  EXPECT_EQ(VisibleProgressBox(), nullptr);
}

} // namespace
} // namespace nq

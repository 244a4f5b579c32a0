#include "ui/ImportProgressDialog.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <atomic>
#include <limits>
#include <thread>

namespace nq {
namespace {

constexpr qint64 ShowAfterMs = 400;

// Only a deliberate click cancels: a switch that sends Return, Space or Escape, or a key meant for the
// box that was on screen a moment before, must not throw away a long import.
class ClickOnlyProgressDialog final : public QProgressDialog {
public:
  using QProgressDialog::QProgressDialog;

protected:
  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      event->accept();
      return;
    default:
      QProgressDialog::keyPressEvent(event);
    }
  }
};

} // namespace

ImportProgressDialog::ImportProgressDialog(std::function<QWidget*()> parent) : Parent(std::move(parent)) {}

void ImportProgressDialog::Run(const std::string& fileName, exchange::ImportProgress& progress,
                               const std::function<void()>& work) {
  std::atomic<bool> finished{false};
  ClickOnlyProgressDialog box(QString::fromUtf8("Importando %1…").arg(QString::fromStdString(fileName)),
                              QString(), 0, 0, Parent ? Parent() : nullptr);
  auto* cancel = new QPushButton(QString::fromUtf8("Cancelar"));
  cancel->setAutoDefault(false);
  cancel->setFocusPolicy(Qt::NoFocus);
  box.setCancelButton(cancel); // the box owns it
  // The box makes Escape a shortcut for its cancel button; that goes too.
  for (QShortcut* shortcut : box.findChildren<QShortcut*>())
    shortcut->setEnabled(false);
  box.setWindowTitle(QString::fromUtf8("NexoQuadrix: importando"));
  box.setWindowModality(Qt::WindowModal);
  // The main window stays on top; its boxes must too, or they hide behind it.
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  // Shown by the poll below, and only when the import lasts: a small set is done before a box is worth it.
  box.setMinimumDuration(std::numeric_limits<int>::max());
  box.setAutoReset(false);
  box.setAutoClose(false);
  QObject::connect(&box, &QProgressDialog::canceled, [&box, &progress] {
    progress.Cancel = true;
    box.setLabelText(QString::fromUtf8("Cancelando…"));
    box.show(); // cancel hides the box; it stays until the import has stopped
  });
  QEventLoop loop;
  QTimer poll;
  QElapsedTimer since;
  since.start();
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (finished) {
      loop.quit();
      return;
    }
    if (!box.isVisible() && since.elapsed() >= ShowAfterMs) box.show();
    const int total = progress.Total;
    if (total > 0 && box.maximum() != total) box.setMaximum(total);
    box.setValue(std::min(progress.Done.load(), std::max(total, 1) - 1));
  });
  if (OnModal) OnModal(true);
  std::thread worker([&work, &finished] {
    work();
    finished = true;
  });
  poll.start(50);
  loop.exec();
  worker.join();
  if (OnModal) OnModal(false);
}

} // namespace nq

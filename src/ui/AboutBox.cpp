#include "ui/AboutBox.h"

#include <QApplication>
#include <QHideEvent>
#include <QVBoxLayout>

namespace nq {

AboutBox::AboutBox(QWidget* owner, const QString& title, const QString& version) : QDialog(owner) {
  setWindowTitle(title);
  // Closing the main window while the splash still shows must end the program, not leave it
  // running with no window once the splash hides itself.
  setAttribute(Qt::WA_QuitOnClose, false);
  auto* layout = new QVBoxLayout(this);
  auto* name = new QLabel(QStringLiteral("<h2>%1</h2>").arg(title.toHtmlEscaped()), this);
  name->setAlignment(Qt::AlignCenter);
  layout->addWidget(name);
  auto* text = new QLabel(version, this);
  text->setAlignment(Qt::AlignCenter);
  layout->addWidget(text);
  // The pictograms installed with the program (the editor's symbols, pictures of boards made with
  // them) ask for this credit wherever they are shown.
  auto* credit =
      new QLabel(QStringLiteral("All emojis designed by OpenMoji (openmoji.org) \u2013 the open-source "
                                "emoji and icon project. License: CC BY-SA 4.0"),
                 this);
  credit->setObjectName("pictogramCredit");
  credit->setWordWrap(true);
  credit->setAlignment(Qt::AlignCenter);
  layout->addWidget(credit);
  Ok = new QPushButton(QStringLiteral("OK"), this);
  connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(Ok, 0, Qt::AlignCenter);
  resize(360, 220);
  SplashTimer.setSingleShot(true);
  SplashTimer.setInterval(2000);
  connect(&SplashTimer, &QTimer::timeout, this, [this] { EndSplash(); });
}

void AboutBox::EndSplash() {
  if (!Ok->isHidden()) return; // no splash on show
  SplashTimer.stop();
  hide();
  Ok->show();
  resize(width(), FullHeight);
}

void AboutBox::ShowModal() {
  EndSplash();
  // The owner stays on top of other programs; its box must be above it or it takes the input unseen.
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  exec();
}

void AboutBox::ShowSplash() {
  Ok->hide();
  FullHeight = height();
  resize(width(), FullHeight - 28);
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  show();
  QApplication::processEvents();
  SplashTimer.start();
}

void AboutBox::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (OnHidden) OnHidden();
}

} // namespace nq

#include "linux/QtClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QPixmap>

#include "linux/QtText.h"

namespace nq {

QtClipboard::QtClipboard(std::function<QWidget*()> window, Dialogs& dialogs)
    : Window(std::move(window)), Boxes(dialogs) {}

void QtClipboard::CopyTextToClipboard(const std::string& text) {
  QApplication::clipboard()->setText(ToQString(text.substr(0, MaxClipboardText)));
}

std::string QtClipboard::ReadClipboardText() {
  return FromQString(QApplication::clipboard()->text()).substr(0, MaxClipboardText);
}

void QtClipboard::CopyWindowAreaToClipboard(int left, int top, int right, int bottom) {
  QWidget* window = Window ? Window() : nullptr;
  const int width = right - left;
  const int height = bottom - top;
  if (!window || width <= 0 || height <= 0) {
    Boxes.ShowMessage("No se ha podido crear la imagen de la casilla.", MessageIcon::Error, "Portapapeles");
    return;
  }
  const QPixmap picture = window->grab(QRect(left, top, width, height));
  if (picture.isNull()) {
    Boxes.ShowMessage("No se ha podido crear la imagen de la casilla.", MessageIcon::Error, "Portapapeles");
    return;
  }
  QApplication::clipboard()->setPixmap(picture);
}

} // namespace nq

#pragma once
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace nq {

// The about box: shown without its OK button as a splash at start, then modally from "About...".
class AboutBox : public QDialog {
  Q_OBJECT
public:
  AboutBox(const QString& title, const QString& version);
  /// Shows the box as a splash that hides itself after 2000 ms.
  void ShowSplash();
  /// Runs after the box hides (the main window takes the top again).
  std::function<void()> OnHidden;

protected:
  void hideEvent(QHideEvent* event) override;

private:
  QPushButton* Ok = nullptr;
  QTimer SplashTimer;
  int FullHeight = 0;
};

} // namespace nq

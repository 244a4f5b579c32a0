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
  /// owner: the main window, which the box stays above.
  AboutBox(QWidget* owner, const QString& title, const QString& version);
  /// Shows the box as a splash that hides itself after 2000 ms.
  void ShowSplash();
  /// Hides the splash at once (another window needs the front); does nothing when no splash shows.
  void EndSplash();
  /// Shows the box with its OK button and waits until it is closed.
  void ShowModal();
  bool SplashShown() const { return SplashTimer.isActive(); }
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

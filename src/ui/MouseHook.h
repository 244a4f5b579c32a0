#pragma once
// The mouse hook: an application event filter that sees every mouse move and button over the main
// window before any widget, hands it to the player in client coordinates and swallows the buttons.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "shell/Player.h"
#include "ui/PaintTiming.h"

namespace nq {

class MouseHook : public QObject {
  Q_OBJECT
public:
  MouseHook(Player& player, QWidget* window, QWidget* client);
  void SetInstalled(bool installed);
  bool Installed() const { return On; }
  /// Runs after each event handed to the player (the view repaints what changed).
  std::function<void()> AfterEvent;
  /// Cursor hiding over the grid.
  bool HideCellCursor = false;
  PaintTiming* Timing = nullptr;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void UpdateCursor(QPoint client);
  Player& ThePlayer;
  QPointer<QWidget> Window;
  QPointer<QWidget> Client;
  bool On = false;
};

} // namespace nq

#include "ui/MouseHook.h"

#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>

namespace nq {

MouseHook::MouseHook(Player& player, QWidget* window, QWidget* client)
    : QObject(window), ThePlayer(player), Window(window), Client(client) {}

void MouseHook::SetInstalled(bool installed) {
  if (installed == On) return;
  On = installed;
  if (On)
    qApp->installEventFilter(this);
  else
    qApp->removeEventFilter(this);
}

void MouseHook::UpdateCursor(QPoint client) {
  const GridRect& grid = ThePlayer.Layout().Panels().Boxes;
  const bool overGrid = client.x() >= grid.Left && client.x() < grid.Right() && client.y() >= grid.Top &&
                        client.y() < grid.Bottom();
  Client->setCursor(HideCellCursor && overGrid ? Qt::BlankCursor : Qt::ArrowCursor);
}

bool MouseHook::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
      type != QEvent::MouseButtonDblClick)
    return false;
  // While a menu of the window is open, everything passes untouched.
  if (QApplication::activePopupWidget() || !Window || !Client) return false;
  // Only the event as it first arrives: copies made while it propagates to parents are not spontaneous.
  if (!event->spontaneous()) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || (widget != Client && !Client->isAncestorOf(widget))) return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint client = Client->mapFromGlobal(mouse->globalPosition().toPoint());
  // The menu bar, the frame and the client's first row and column are outside: the item under the
  // pointer is forgotten and the event passes on.
  if (client.x() <= 0 || client.y() <= 0 || !Client->rect().contains(client)) {
    ThePlayer.Layout().HoveredItem = NoItem;
    return false;
  }
  MouseEventKind kind = MouseEventKind::Move;
  if (type == QEvent::MouseMove) {
    UpdateCursor(client);
  } else {
    const bool press = type != QEvent::MouseButtonRelease;
    if (mouse->button() == Qt::LeftButton)
      kind = press ? MouseEventKind::LeftPress : MouseEventKind::LeftRelease;
    else if (mouse->button() == Qt::RightButton)
      kind = press ? MouseEventKind::RightPress : MouseEventKind::RightRelease;
    else
      return false; // only the left and right buttons are the board's
    // "No permitir clics": buttons are swallowed and never reach the player.
    if (ThePlayer.State().NoClicks) return true;
  }
  if (Timing) Timing->PointerEvent();
  ThePlayer.HandleMouseEvent(kind, client.x(), client.y());
  if (AfterEvent) AfterEvent();
  return type != QEvent::MouseMove;
}

} // namespace nq

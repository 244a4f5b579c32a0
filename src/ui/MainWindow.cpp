#include "ui/MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QWindow>
#include <chrono>

#include "linux/QtText.h"
#include "linux/X11Pointer.h"

namespace nq {
MainWindow::MainWindow(const std::string& dataFolderUtf8) : DataFolder(dataFolderUtf8) {
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  setAcceptDrops(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  resize(838, 678);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - QPoint(838 / 2, 678 / 2));
}

MainWindow::~MainWindow() {
  if (TheHook) TheHook->SetInstalled(false);
  delete About;
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  ProgramPlacing.start(); // the window manager's own placement follows the mapping
}

void MainWindow::EnableTiming(const QElapsedTimer& sinceStart) {
  Timing.Enabled = true;
  Timing.SinceStart = sinceStart;
  // A benchmark that notes its launch time (wall clock, ns) gets figures that include loading the program.
  bool noted = false;
  const qint64 launchNs = qEnvironmentVariable("NEXOQUADRIX_TIMING_START_NS").toLongLong(&noted);
  if (noted && launchNs > 0) {
    const qint64 nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
    Timing.LaunchOffsetMs = std::max<qint64>(0, (nowNs - launchNs) / 1000000 - sinceStart.elapsed());
  }
  if (View) View->Timing = &Timing;
  if (TheHook) TheHook->Timing = &Timing;
}

void MainWindow::Attach(Player& player) {
  ThePlayer = &player;
  View = new BoardView(player, DataFolder, this);
  setCentralWidget(View);
  EditEscriure = new QPlainTextEdit(View);
  EditEscriure->setToolTip(QString::fromUtf8("Clicant amb el botó dret es pot canviar la font del text"));
  EditEscriure->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  EditEscriure->hide();
  TheHook = new MouseHook(player, this, View);
  TheHook->AfterEvent = [this] { Refresh(); };
  About = new AboutBox(this, QStringLiteral("NexoQuadrix"), ToQString(std::string(VersionText)));
  About->OnHidden = [this] {
    if (!Closing) SetStayOnTop(true);
  };
  BuildMenus();
}

void MainWindow::BuildMenus() {
  menuBar()->clear();
  Actions.clear();
  for (const MenuItem& top : ThePlayer->Menu().TopLevel()) {
    QMenu* menu = menuBar()->addMenu(ToQString(top.Caption));
    const std::string name = top.Name;
    connect(menu, &QMenu::aboutToShow, this, [this, name] {
      ThePlayer->MenuOpened(name);
      Refresh();
    });
    AddMenuItems(menu, top.Children);
  }
  SyncMenus();
}

void MainWindow::AddMenuItems(QMenu* menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    if (!item.Children.empty()) {
      QMenu* sub = menu->addMenu(ToQString(item.Caption));
      Actions[item.Name] = sub->menuAction();
      AddMenuItems(sub, item.Children);
      continue;
    }
    QAction* action = menu->addAction(ToQString(item.Caption));
    action->setCheckable(item.Mark != MenuMark::None);
    if (item.Mark == MenuMark::Radio) RadioGroup(menu)->addAction(action);
    const std::string name = item.Name;
    connect(action, &QAction::triggered, this, [this, name] {
      ThePlayer->MenuClick(name);
      // The toolkit flipped the mark on the click; the model's state after the handler decides it.
      MenuRevision = ~uint64_t{0};
      Refresh();
    });
    Actions[item.Name] = action;
  }
}

QActionGroup* MainWindow::RadioGroup(QMenu* menu) {
  auto* group = menu->findChild<QActionGroup*>(QString(), Qt::FindDirectChildrenOnly);
  if (!group) {
    group = new QActionGroup(menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  }
  return group;
}

void MainWindow::SyncMenus() {
  if (!ThePlayer || ThePlayer->Menu().Revision() == MenuRevision) return;
  MenuRevision = ThePlayer->Menu().Revision();
  for (auto& [name, action] : Actions) {
    const MenuItem* item = ThePlayer->Menu().Find(name);
    if (!item) continue;
    const QSignalBlocker blocker(action);
    action->setChecked(item->Checked);
    action->setVisible(item->Visible);
    action->setEnabled(item->Enabled);
  }
}

void MainWindow::PlaceMemo() {
  const PanelGeometry& panels = ThePlayer->Layout().Panels();
  const bool shown = panels.MessageBarVisible && ThePlayer->State().View.WriteLettersOrWordsMode;
  if (shown) {
    const GridRect& bar = panels.MessageBar;
    EditEscriure->setGeometry(bar.Left, bar.Top, bar.Width, bar.Height);
    EditEscriure->setFont(ToQFont(ThePlayer->State().MessageFont));
  }
  EditEscriure->setVisible(shown);
}

void MainWindow::Refresh() {
  if (!ThePlayer) return;
  SyncMenus();
  PlaceMemo();
  View->RefreshIfChanged();
}

void MainWindow::RefreshDwellProgress() {
  if (ThePlayer) View->RefreshDwellProgress();
}

void MainWindow::SetCaption(const std::string& caption) {
  setWindowTitle(ToQString(caption));
}

void MainWindow::SetWindowRect(const WindowRect& rect) {
  // The rectangle is the outer one, frame included, like the boards store it.
  ProgramPlacing.start();
  const QSize frame = frameGeometry().size() - geometry().size();
  // Without a frame yet, the client would take the outer rectangle and the title bar could end up off
  // the screen where nobody can drag it.
  PlacedWithoutFrame.reset();
  if (frame.isEmpty() && !windowFlags().testFlag(Qt::FramelessWindowHint)) PlacedWithoutFrame = rect;
  move(rect.Left, rect.Top);
  resize(std::max(1, rect.Width - frame.width()), std::max(1, rect.Height - frame.height()));
}

WindowRect MainWindow::CurrentWindowRect() {
  const QRect r = frameGeometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

int32_t MainWindow::ScreenWidth() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().width() : 1024;
}

int32_t MainWindow::ScreenHeight() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().height() : 768;
}

WindowRect MainWindow::WorkArea() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return WindowView::WorkArea();
  const QRect r = screen->availableGeometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

bool MainWindow::LeftButtonDown() {
  if (LeftButtonHeld()) return true;
  // Under X11 the window manager tells of a drag only once the button is up again: a change of place
  // that the program did not ask for (nor the window manager while mapping the window) is the user's.
  return isVisible() && ProgramPlacing.isValid() && ProgramPlacing.elapsed() > 700;
}

void MainWindow::SetStayOnTop(bool onTop) {
  ProgramPlacing.start(); // the window manager may move the window while it changes its state
  // Switching through the native window avoids hiding and re-creating the window.
  if (QWindow* handle = windowHandle())
    handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
  else
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
}

void MainWindow::SetMenuAndFrameHidden(bool hidden) {
  ProgramPlacing.start(); // the frame's coming or going moves the client area
  menuBar()->setVisible(!hidden);
  if (QWindow* handle = windowHandle())
    handle->setFlag(Qt::FramelessWindowHint, hidden);
  else
    setWindowFlag(Qt::FramelessWindowHint, hidden);
}

void MainWindow::SetCellCursorHidden(bool hidden) {
  if (TheHook) TheHook->HideCellCursor = hidden;
  if (!hidden && View) View->setCursor(Qt::ArrowCursor);
}

void MainWindow::PointerPosition(int32_t& x, int32_t& y) {
  const QPoint p = View ? View->mapFromGlobal(QCursor::pos()) : QPoint();
  x = p.x();
  y = p.y();
}

void MainWindow::ClientSize(int32_t& width, int32_t& height) {
  width = View ? View->width() : 0;
  height = View ? View->height() : 0;
}

void MainWindow::ShowAboutBox(bool asSplash) {
  if (asSplash)
    About->ShowSplash();
  else
    About->ShowModal();
}

void MainWindow::ShowSpeechWindow() {
  // On a first start the voice window comes while the splash still shows: it must not stay under it.
  if (About) About->EndSplash();
  if (SpeechWindow) SpeechWindow();
}

void MainWindow::FocusMessageMemo() {
  EditEscriure->setFocus();
}

void MainWindow::SetMouseHook(bool installed) {
  if (TheHook) TheHook->SetInstalled(installed);
}

void MainWindow::CloseWindow() {
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  Closing = true;
  if (ThePlayer) ThePlayer->FormClose();
  event->accept();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (PlaceAgainWithFrame()) return;
  if (ThePlayer) ThePlayer->WindowRectChanged(CurrentWindowRect());
}

bool MainWindow::PlaceAgainWithFrame() {
  if (!PlacedWithoutFrame || (frameGeometry().size() - geometry().size()).isEmpty()) return false;
  const WindowRect rect = *PlacedWithoutFrame;
  SetWindowRect(rect);
  return true;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (PlaceAgainWithFrame()) return;
  if (ThePlayer) ThePlayer->WindowRectChanged(CurrentWindowRect());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !ThePlayer) return;
  // Only the first dropped file counts.
  ThePlayer->DroppedFile(FromQString(urls.front().toLocalFile()));
  event->acceptProposedAction();
  Refresh();
}

} // namespace nq

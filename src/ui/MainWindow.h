#pragma once
#include <optional>
// FormPrincipal: the main window as a view of the player. It implements what the shell asks of the
// window, builds its menu bar from the menu model, and reports resizes, moves, drops and closing.
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <functional>
#include <map>

#include "shell/Player.h"
#include "shell/WindowView.h"
#include "ui/AboutBox.h"
#include "ui/BoardView.h"
#include "ui/MouseHook.h"

class QAction;
class QActionGroup;
class QMenu;

namespace nq {

class MainWindow : public QMainWindow, public WindowView {
  Q_OBJECT
public:
  MainWindow(const std::string& dataFolderUtf8);
  ~MainWindow() override;

  /// Connects the window to its player (which is built with this window as its view).
  void Attach(Player& player);
  /// Shows the speech window; set by the application once the speech window exists.
  std::function<void()> SpeechWindow;

  // WindowView
  void SetCaption(const std::string& caption) override;
  void SetWindowRect(const WindowRect& rect) override;
  WindowRect CurrentWindowRect() override;
  int32_t ScreenWidth() override;
  int32_t ScreenHeight() override;
  WindowRect WorkArea() override;
  bool LeftButtonDown() override;
  void SetStayOnTop(bool onTop) override;
  void SetMenuAndFrameHidden(bool hidden) override;
  void SetCellCursorHidden(bool hidden) override;
  void Refresh() override;
  void RefreshDwellProgress() override;
  void PointerPosition(int32_t& x, int32_t& y) override;
  void ClientSize(int32_t& width, int32_t& height) override;
  void ShowAboutBox(bool asSplash) override;
  void ShowSpeechWindow() override;
  void FocusMessageMemo() override;
  void SetMouseHook(bool installed) override;
  void CloseWindow() override;

  /// Prints the benchmark timing lines (see PaintTiming).
  void EnableTiming(const QElapsedTimer& sinceStart);

  BoardView* Board() { return View; }
  /// The menu action of a menu-model item, or nullptr.
  QAction* MenuAction(const std::string& name) const {
    const auto found = Actions.find(name);
    return found == Actions.end() ? nullptr : found->second;
  }
  QPlainTextEdit* Memo() { return EditEscriure; }

protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  // Places the window again once the window manager has framed it, if it was placed before; true if so.
  bool PlaceAgainWithFrame();
  void BuildMenus();
  void AddMenuItems(QMenu* menu, const std::vector<MenuItem>& items);
  void SyncMenus();
  /// The one group of radio items of a menu, made on first use.
  QActionGroup* RadioGroup(QMenu* menu);
  void PlaceMemo();

  std::string DataFolder;
  Player* ThePlayer = nullptr;
  BoardView* View = nullptr;
  QPlainTextEdit* EditEscriure = nullptr;
  MouseHook* TheHook = nullptr;
  AboutBox* About = nullptr;
  std::map<std::string, QAction*> Actions;
  uint64_t MenuRevision = ~uint64_t{0};
  bool Closing = false;
  PaintTiming Timing;
  QElapsedTimer ProgramPlacing; // since the program last placed the window itself
  // A place asked for before the window manager framed the window; asked again once the frame is known.
  std::optional<WindowRect> PlacedWithoutFrame;
};

} // namespace nq

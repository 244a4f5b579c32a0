#pragma once
// A desktop of three windows (the board, an editor, a panel) and a board window that records whether
// it may take the focus, for the tests of the external-window mode.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "actions/ExternalWindow.h"
#include "platform/Desktop.h"

namespace nq::test {

constexpr DesktopWindow OwnWindowId = 10;
constexpr DesktopWindow EditorWindowId = 20;
constexpr DesktopWindow PanelWindowId = 30;

class FakeDesktop final : public Desktop {
public:
  DesktopWindow Foreground = EditorWindowId;
  std::map<DesktopWindow, DesktopRect> Rects{{OwnWindowId, {0, 0, 400, 300}},
                                             {EditorWindowId, {50, 50, 700, 500}},
                                             {PanelWindowId, {0, 0, 1280, 30}}};
  std::vector<std::pair<DesktopWindow, DesktopRect>> Moves;
  std::vector<DesktopWindow> Activated;
  std::vector<DesktopWindow> Closed;
  DesktopRect Work{0, 30, 1280, 770};

  DesktopWindow ForegroundWindow() override { return Foreground; }
  bool IsNormalApplicationWindow(DesktopWindow w) override { return w == OwnWindowId || w == EditorWindowId; }
  DesktopRect WorkArea() override { return Work; }
  bool WindowFrameRect(DesktopWindow w, DesktopRect& rect) override {
    auto it = Rects.find(w);
    if (it == Rects.end()) return false;
    rect = it->second;
    return true;
  }
  void MoveResizeWindow(DesktopWindow w, const DesktopRect& rect) override { Moves.push_back({w, rect}); }
  DesktopWindow TopApplicationWindow(DesktopWindow except) override {
    return except == OwnWindowId ? EditorWindowId : 0;
  }
  void ActivateWindow(DesktopWindow w) override {
    Activated.push_back(w);
    Foreground = w;
  }
  void CloseWindow(DesktopWindow w) override { Closed.push_back(w); }
  DesktopWindow FindWindowByTitle(const std::string&) override { return 0; }
};

class FakeBoardWindow final : public NonFocusableWindow {
public:
  bool NonFocusable = false;
  void SetNonFocusable(bool on) override { NonFocusable = on; }
  DesktopWindow OwnWindow() override { return OwnWindowId; }
};

} // namespace nq::test

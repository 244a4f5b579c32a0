#pragma once
// A window view with no window: for painting boards off screen (the render tool, tests).
#include "shell/WindowView.h"

namespace nq {

class HeadlessWindow : public WindowView {
public:
  HeadlessWindow(int32_t clientWidth, int32_t clientHeight) : Width(clientWidth), Height(clientHeight) {}
  void SetCaption(const std::string&) override {}
  void SetWindowRect(const WindowRect& rect) override { Rect = rect; }
  WindowRect CurrentWindowRect() override { return Rect; }
  int32_t ScreenWidth() override { return 1920; }
  int32_t ScreenHeight() override { return 1080; }
  bool LeftButtonDown() override { return false; }
  void SetStayOnTop(bool) override {}
  void SetMenuAndFrameHidden(bool) override {}
  void SetCellCursorHidden(bool) override {}
  void Refresh() override {}
  void PointerPosition(int32_t& x, int32_t& y) override {
    x = PointerX;
    y = PointerY;
  }
  void ClientSize(int32_t& width, int32_t& height) override {
    width = Width;
    height = Height;
  }
  void ShowAboutBox(bool) override {}
  void ShowSpeechWindow() override {}
  void FocusMessageMemo() override {}
  void SetMouseHook(bool) override {}
  void CloseWindow() override {}

  // Where the pointer is said to be (tests); outside the window by default.
  int32_t PointerX = -1;
  int32_t PointerY = -1;

private:
  int32_t Width;
  int32_t Height;
  WindowRect Rect;
};

} // namespace nq

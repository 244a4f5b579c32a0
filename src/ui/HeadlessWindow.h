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
  void PointerPosition(int32_t& x, int32_t& y) override { x = y = -1; }
  void ClientSize(int32_t& width, int32_t& height) override {
    width = Width;
    height = Height;
  }
  void ShowAboutBox(bool) override {}
  void ShowSpeechWindow() override {}
  void FocusMessageMemo() override {}
  void SetMouseHook(bool) override {}
  void CloseWindow() override {}

private:
  int32_t Width;
  int32_t Height;
  WindowRect Rect;
};

} // namespace nq

#pragma once
// The on-screen keyboard as the shell sees it: typing cells and named keys into the focused
// application, and the external-window mode, connected to the menu marks and the window.
#include "actions/ExternalWindow.h"
#include "actions/KeySequences.h"
#include "shell/ShellContext.h"
#include "shell/ShellPorts.h"

namespace nq {

class Clipboard;
class Clock;
class WindowPlacement;

class ExternalDoors final : public ExternalWindowControl, public ExternalTyping, private ExternalWindowMarks {
public:
  ExternalDoors(ShellContext& ctx, WindowPlacement& placement, KeySink& keys, KeyboardLayout& layout,
                Clipboard& clipboard, Clock& clock, Desktop& desktop, NonFocusableWindow& window);

  void SetExternalWindowMode(bool on) override;
  void TypeCellText(const TBox& cell, const std::string& text) override { Keys.TypeCellText(cell, text); }

  KeySequences Keys;
  ExternalWindow Window;

private:
  void ShowExternalWindowMode(bool on) override;
  void ShowNoMenuNoCaption(bool on) override;

  ShellContext& Ctx;
  WindowPlacement& Placement;
};

} // namespace nq

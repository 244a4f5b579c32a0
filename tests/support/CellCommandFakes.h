#pragma once
// A recording player for the special-function dispatcher: every step the dispatcher takes (keys,
// button actions, menu items, boards, programs, messages, clipboard) lands in one log, in order.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "actions/CellCommands.h"
#include "actions/FolderTrust.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"

namespace nq::test {

class SpecialFunctionRecorder final : public SpecialFunctionHost,
                                      public Launcher,
                                      public Dialogs,
                                      public Clipboard,
                                      public OutsideCommandGate {
public:
  std::vector<std::string> Log;
  // The trust questions, apart from the log: what each would run.
  std::vector<std::string> Asked;
  bool Trusted = true;
  // What the tests set.
  std::set<std::string> KeyTokens = {"<RETURN>", "<ESC>"};
  bool ExternalOn = false;
  bool NoMenuOn = false;
  bool ButtonsBusy = false;
  bool StartSucceeds = true;
  std::string MenuBoard = "/prog/Nexo_quadrix_menu.qdx";
  std::string Folder = "/boards/";
  std::string Board = "/boards/a.qdx";
  std::string Program = "/prog/";
  // A text field with one line: Control+Insert copies it, Shift+Insert pastes over it.
  std::string Line;
  bool CopyWorks = true;
  std::string ClipboardText;

  bool SendNamedKey(const std::string& folded) override {
    if (!KeyTokens.contains(folded)) return false;
    Log.push_back("key " + folded);
    return true;
  }
  void SendKeyEvent(uint8_t virtualKey, bool down) override {
    Log.push_back(std::string(down ? "down " : "up ") + std::to_string(virtualKey));
    if (virtualKey == 17 || virtualKey == 16) (virtualKey == 17 ? ControlDown : ShiftDown) = down;
    if (virtualKey == 45 && down && ControlDown && CopyWorks) ClipboardText = Line;
    if (virtualKey == 45 && down && ShiftDown) Line = ClipboardText;
  }
  void ToggleExternalWindowMode() override { Log.push_back("toggle external"); }
  void ToggleNoMenuNoCaption() override { Log.push_back("toggle no menu"); }
  void FitReceivingWindow() override { Log.push_back("fit receiving window"); }
  bool CloseForegroundApplication() override {
    Log.push_back("close foreground");
    return true;
  }
  bool ExternalWindowModeOn() const override { return ExternalOn; }
  void SuspendExternalWindowMode(bool suspended) override {
    Log.push_back(suspended ? "suspend external" : "resume external");
  }
  void RunButtonAction(int32_t k) override { Log.push_back("button " + std::to_string(k)); }
  bool PerformMenuItem(const std::string& name) override {
    Log.push_back("menu " + name);
    return true;
  }
  bool NoMenuNoCaptionOn() const override { return NoMenuOn; }
  bool OpenBoard(const std::string& path) override {
    Log.push_back("open " + path);
    return true;
  }
  std::string MenuBoardPath() const override { return MenuBoard; }
  void StopScanning() override { Log.push_back("stop scanning"); }
  void CloseMainWindow() override { Log.push_back("close window"); }
  std::string BoardFolder() const override { return Folder; }
  std::string CurrentBoardFile() const override { return Board; }
  std::string ProgramFolder() const override { return Program; }
  bool KeySequenceRunning() const override { return ButtonsBusy; }

  bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) override {
    std::string entry = "start " + program;
    for (const std::string& argument : arguments)
      entry += " [" + argument + "]";
    Log.push_back(entry);
    return StartSucceeds;
  }
  bool OpenDocument(const std::string& path) override {
    Log.push_back("document " + path);
    return true;
  }

  void ShowMessage(const std::string& text, MessageIcon, const std::string&) override {
    Log.push_back("message " + text);
  }
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&, const std::string&,
                                              const std::string&, const std::string&) override {
    return std::nullopt;
  }

  bool MayReachOutside(const std::string&, const std::string&, const std::string& whatRuns) override {
    Asked.push_back(whatRuns);
    return Trusted;
  }

  void CopyTextToClipboard(const std::string& text) override { ClipboardText = text; }
  std::string ReadClipboardText() override { return ClipboardText; }
  void CopyWindowAreaToClipboard(int, int, int, int) override {}

private:
  bool ControlDown = false;
  bool ShiftDown = false;
};

} // namespace nq::test

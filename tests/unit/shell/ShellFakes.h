#pragma once
// Fakes and a harness for the player's shell: a window that records what the core asked of it,
// dialogs with a scripted file choice, fixed text metrics, and a temporary program folder holding the
// settings files and boards written by each test.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "settings/ProfileFile.h"
#include "shell/Player.h"
#include "shell/WindowView.h"
#include "support/CellTestFakes.h"
#include "support/FakeDialogs.h"
#include "support/FakeLauncher.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"

namespace nq::test {

class RecordingWindow final : public WindowView {
public:
  std::vector<std::string> Captions;
  std::vector<WindowRect> Rects;
  std::vector<bool> StayOnTopCalls;
  bool MenuHidden = false;
  bool CursorHidden = false;
  bool HookInstalled = false;
  int HookChanges = 0;
  int AboutShows = 0;
  int SplashShows = 0;
  int SpeechShows = 0;
  int Closes = 0;
  // What the tests set.
  int32_t ScreenW = 1920;
  int32_t ScreenH = 1080;
  WindowRect Work{}; // empty: the whole screen
  int32_t ClientW = 800;
  int32_t ClientH = 600;
  int32_t PointerX = 0;
  int32_t PointerY = 0;
  bool LeftDown = false;

  void SetCaption(const std::string& caption) override { Captions.push_back(caption); }
  void SetWindowRect(const WindowRect& rect) override { Rects.push_back(rect); }
  WindowRect CurrentWindowRect() override { return Rects.empty() ? WindowRect{} : Rects.back(); }
  int32_t ScreenWidth() override { return ScreenW; }
  int32_t ScreenHeight() override { return ScreenH; }
  WindowRect WorkArea() override { return Work.Width > 0 ? Work : WindowRect{0, 0, ScreenW, ScreenH}; }
  bool LeftButtonDown() override { return LeftDown; }
  void SetStayOnTop(bool onTop) override { StayOnTopCalls.push_back(onTop); }
  void SetMenuAndFrameHidden(bool hidden) override { MenuHidden = hidden; }
  void SetCellCursorHidden(bool hidden) override { CursorHidden = hidden; }
  void Refresh() override {}
  void RefreshDwellProgress() override {
    ++DwellRefreshes;
    if (OnDwellRefresh) OnDwellRefresh();
  }
  int DwellRefreshes = 0;
  std::function<void()> OnDwellRefresh;
  void PointerPosition(int32_t& x, int32_t& y) override {
    x = PointerX;
    y = PointerY;
  }
  void ClientSize(int32_t& width, int32_t& height) override {
    width = ClientW;
    height = ClientH;
  }
  void ShowAboutBox(bool asSplash) override { ++(asSplash ? SplashShows : AboutShows); }
  void ShowSpeechWindow() override { ++SpeechShows; }
  void FocusMessageMemo() override {}
  void SetMouseHook(bool installed) override {
    HookInstalled = installed;
    ++HookChanges;
  }
  void CloseWindow() override { ++Closes; }
};

// A board's options and cells as a test writes them; captions are Prefix + cell number.
struct BoardSpec {
  int Columns = 2;
  int Rows = 1;
  std::string Prefix = "c";
  bool CenterCaptions = false;
  bool ShowButtonBar = true;
  bool ShowMessageBar = true;
  bool Letters = false;
  bool EscriureText = false;
  int Position = 0;
  int Left = 305;
  int Top = 117;
  int Width = 632;
  int Height = 452;
};

inline std::string BoardText(const BoardSpec& b) {
  auto flag = [](bool on) { return on ? "1" : "0"; };
  std::string text =
      "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Position]\r\nLeft=" + std::to_string(b.Left) +
      "\r\nTop=" + std::to_string(b.Top) + "\r\nWidth=" + std::to_string(b.Width) +
      "\r\nHeight=" + std::to_string(b.Height) + "\r\n[Grid]\r\nColumns=" + std::to_string(b.Columns) +
      "\r\nRows=" + std::to_string(b.Rows) +
      "\r\n[Menu Options 2]\r\nCenter Captions=" + flag(b.CenterCaptions) +
      "\r\nShow Button Bar=" + flag(b.ShowButtonBar) + "\r\nShow Message Bar=" + flag(b.ShowMessageBar) +
      "\r\nWrite only letters or words=" + flag(b.Letters) +
      "\r\nMenuEscriureTextALlegir=" + flag(b.EscriureText) +
      "\r\nMenuQdxPosition=" + std::to_string(b.Position) + "\r\n";
  for (int n = 1; n <= b.Columns * b.Rows; ++n)
    text += "[Cell " + std::to_string(n) + "]\r\nCaption=" + b.Prefix + std::to_string(n) + "\r\n";
  return text;
}

// One player over a fresh program folder under /tmp, with fakes for everything on screen.
class ShellHarness {
public:
  ShellHarness() {
    for (const char* sub : {"prog", "data", "boards"})
      std::filesystem::create_directories(Root + sub);
  }
  ~ShellHarness() { ThePlayer.reset(); }
  ShellHarness(const ShellHarness&) = delete;
  ShellHarness& operator=(const ShellHarness&) = delete;

  std::string ProgramFolder() const { return Root + "prog/"; }
  std::string DataFolder() const { return Root + "data/"; }
  std::string SettingsPath() const { return Root + "prog/nexoquadrix.ini"; }
  std::string SharedPath() const { return Root + "prog/Quadrix.ini"; }
  std::string MenuBoardPath() const { return DataFolder() + "Nexo_quadrix_menu.qdx"; }

  static void WriteFile(const std::string& path, const std::string& bytes) { WriteBytes(path, bytes); }
  void WriteSettings(const std::string& text) const { WriteFile(SettingsPath(), text); }
  void WriteShared(const std::string& text) const { WriteFile(SharedPath(), text); }
  /// Writes a board into the boards folder and returns its full path.
  std::string WriteBoard(const std::string& name, const BoardSpec& spec = {}) const {
    const std::string path = Root + "boards/" + name;
    WriteFile(path, BoardText(spec));
    return path;
  }
  std::string WriteMenuBoard(BoardSpec spec = {}) const {
    spec.Prefix = "menu";
    WriteFile(MenuBoardPath(), BoardText(spec));
    return MenuBoardPath();
  }

  /// The value as it is on disk now, or "<missing>".
  static std::string Stored(const std::string& path, const std::string& section, const std::string& key) {
    return ProfileFile(path).ReadValue(section, key).value_or("<missing>");
  }
  std::string Setting(const std::string& section, const std::string& key) const {
    return Stored(SettingsPath(), section, key);
  }

  /// Builds the player and runs the window creation.
  Player& Create() {
    PlayerPaths paths;
    paths.ProgramFolder = ProgramFolder();
    paths.DataFolder = DataFolder();
    paths.SettingsFile = SettingsPath();
    paths.SharedFile = SharedPath();
    ThePlayer =
        std::make_unique<Player>(PlayerServices{Clock, Messages, Metrics, Scaler, Window, Programs}, paths);
    ThePlayer->FormCreate();
    ThePlayer->ClientResized(Window.ClientW, Window.ClientH);
    return *ThePlayer;
  }
  /// Creates the player and runs the start sequence with the given arguments; a speech engine is
  /// recorded as chosen first unless the settings say otherwise.
  Player& Started(const std::vector<std::string>& arguments = {}) {
    if (!std::filesystem::exists(SettingsPath())) WriteSettings("[tts]\r\nNumero sintetitzador=0\r\n");
    Create().Start(arguments);
    return *ThePlayer;
  }

  const ShellState& State() const { return ThePlayer->State(); }
  std::string Caption(int32_t cell) { return ThePlayer->Boxes().GridBox(cell)->Caption; }

  TempFolder Folder;
  const std::string Root = Folder.Root() + "/";
  VirtualClock Clock;
  FakeDialogs Messages;
  test::FakeTextMetrics Metrics;
  test::FakeScaler Scaler;
  RecordingWindow Window;
  FakeLauncher Programs;
  std::unique_ptr<Player> ThePlayer;
};

} // namespace nq::test

// ---- Access modes: item actions, pointer and sound fakes, and a harness without the whole player ----

#include <functional>
#include <tuple>

#include "boards/CellMarkSettingsStore.h"
#include "shell/AccessModes.h"

namespace nq::test {

// Records every item run (cells > 0, buttons < 0) in order; During runs inside each action.
class FakeItemActions final : public ItemActions {
public:
  std::vector<int32_t> Items;
  std::function<void(int32_t)> During;
  void ActivateCell(int32_t k) override { Run(k); }
  void RunButtonAction(int32_t k) override { Run(k); }

private:
  void Run(int32_t k) {
    Items.push_back(k);
    if (During) During(k);
  }
};

class RecordingPointer final : public PointerMover {
public:
  std::vector<std::pair<int32_t, int32_t>> Moves;
  void MovePointerTo(int32_t x, int32_t y) override { Moves.emplace_back(x, y); }
};

class RecordingSoundSwitches final : public ScanSoundSwitches {
public:
  std::vector<std::string> Calls;
  void SetSingleChannelDetector(bool open) override { Calls.push_back(open ? "mono on" : "mono off"); }
  void SetStereoDetector(bool open) override { Calls.push_back(open ? "stereo on" : "stereo off"); }
};

// The shell's shared objects over a temporary settings file, with the access modes on top.
class ScanHarness {
public:
  ScanHarness()
      : Settings(Root + "nexoquadrix.ini", Root + "Quadrix.ini"), Marks(Settings),
        Boxes(Metrics, Scaler, Marks), Layout(Boxes, State.View),
        File(TheBoard, Messages), Ctx{State, Menu, Settings, TheBoard, File, Boxes, Layout, Window, Messages},
        MenuTimer(Clock.CreateTimer(1000)), Modes(Ctx, Clock, *MenuTimer, Actions), Options(Ctx) {
    Ctx.Scan = &Modes;
    Modes.SetPointerMover(&Pointer);
    State.ScanStepMs = 100;
    State.View.Columns = 1;
    State.View.Rows = 1;
    Window.Rects.push_back({100, 50, 800, 640});
    Layout.SetClientSize(Window.ClientW, Window.ClientH);
  }
  ScanHarness(const ScanHarness&) = delete;
  ScanHarness& operator=(const ScanHarness&) = delete;

  /// Fills the grid, one text per row: 'x' a cell with a caption, '.' empty, 'p' a picture name only,
  /// 's' a caption with the skip marker in lower case, 'r' a read text only. Runs ResetScan like a board
  /// opening does.
  void Fill(const std::vector<std::string>& rows, int32_t messageCells = 1) {
    Boxes.HideAllGridCells();
    State.View.Rows = static_cast<int32_t>(rows.size());
    State.View.Columns = rows.empty() ? 0 : static_cast<int32_t>(rows[0].size());
    State.CellCount = State.View.Columns * State.View.Rows;
    for (int32_t k = 1; k <= MaxGridCells; ++k) {
      TBox& box = *Boxes.GridBox(k);
      box.Caption = box.Read = box.Picture = box.Link = box.SpecialFunction = "";
      box.Number = k;
    }
    int32_t k = 0;
    for (const std::string& row : rows) {
      for (char c : row) {
        TBox& box = *Boxes.GridBox(++k);
        if (c == 'x') box.Caption = "c" + std::to_string(k);
        if (c == 'p') box.Picture = "p.png";
        if (c == 's') {
          box.Caption = "skip";
          box.SpecialFunction = "<saltar escaneig>";
        }
        if (c == 'r') box.Read = "hola";
      }
    }
    State.View.MessageCellCount = messageCells;
    for (int32_t m = 1; m <= MessageBoxCount; ++m)
      Boxes.MessageBox(m)->Caption = m <= messageCells ? "m" : "";
    Layout.ArrangePanels();
    Layout.LayoutCells();
    Modes.ResetScan();
  }

  void Bars(bool buttonBar, bool messageBar, bool swap) {
    State.View.ShowButtonBar = buttonBar;
    State.View.ShowMessageBar = messageBar;
    State.View.SwapBars = swap;
    Layout.ArrangePanels();
  }

  /// What the scan shows: "B" the whole button bar, "b3" one button, "M" the message cells, "R2" a
  /// whole grid row, "c5" single cells, "-" nothing; parts joined with "+".
  std::string Shown() const {
    std::vector<std::string> parts;
    int buttons = 0;
    int lastButton = 0;
    for (const ButtonPanel& panel : Layout.Buttons())
      if (panel.Highlighted) {
        ++buttons;
        lastButton = -panel.Item;
      }
    if (buttons == ButtonPanelCount)
      parts.push_back("B");
    else if (buttons == 1)
      parts.push_back("b" + std::to_string(lastButton));
    else if (buttons > 1)
      parts.push_back("b?");
    for (int32_t m = 1; m <= State.View.MessageCellCount; ++m)
      if (Boxes.MessageBox(m)->Frame.PenColour == HighlightColour) {
        parts.push_back("M");
        break;
      }
    std::vector<int32_t> red;
    const int32_t columns = State.View.Columns;
    for (int32_t k = 1; k <= columns * State.View.Rows; ++k)
      if (Boxes.GridBox(k)->Frame.PenColour == HighlightColour) red.push_back(k);
    const bool wholeRow = columns > 1 && static_cast<int32_t>(red.size()) == columns &&
                          (red.front() - 1) % columns == 0 && red.back() == red.front() + columns - 1;
    if (wholeRow) {
      parts.push_back("R" + std::to_string((red.front() - 1) / columns + 1));
    } else {
      for (int32_t k : red)
        parts.push_back("c" + std::to_string(k));
    }
    if (parts.empty()) return "-";
    std::string text = parts[0];
    for (std::size_t i = 1; i < parts.size(); ++i)
      text += "+" + parts[i];
    return text;
  }

  /// Client coordinates of the middle of grid cell k.
  std::pair<int32_t, int32_t> CellCentre(int32_t k) const {
    const TBox& box = *Boxes.GridBox(k);
    return {box.Left + box.Width / 2, Layout.Panels().Boxes.Top + box.Top + box.Height / 2};
  }
  void PointAt(int32_t k) { std::tie(Window.PointerX, Window.PointerY) = CellCentre(k); }

  TempFolder Folder;
  const std::string Root = Folder.Root() + "/";
  VirtualClock Clock;
  FakeDialogs Messages;
  test::FakeTextMetrics Metrics;
  test::FakeScaler Scaler;
  RecordingWindow Window;
  RecordingPointer Pointer;
  FakeItemActions Actions;
  ShellState State;
  MenuModel Menu;
  SettingsStore Settings;
  CellMarkSettingsStore Marks;
  CellBoxes Boxes;
  GridLayout Layout;
  Board TheBoard;
  BoardFile File;
  ShellContext Ctx;
  std::unique_ptr<Timer> MenuTimer;
  AccessModes Modes;
  ProgramOptions Options;
};

} // namespace nq::test

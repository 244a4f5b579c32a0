#pragma once
// The player: owns the board, the cell boxes, the settings and every shell component, and wires them.
// The front end reports events here (menu clicks, mouse, resize, drops, close) and paints the state.
#include <memory>
#include <string>
#include <vector>

#include "actions/CellCommands.h"
#include "actions/FolderTrust.h"
#include "boards/Board.h"
#include "boards/BoardFile.h"
#include "boards/CellBoxes.h"
#include "boards/CellMarkSettingsStore.h"
#include "boards/GridLayout.h"
#include "boards/PictureCache.h"
#include "platform/Clock.h"
#include "settings/SettingsStore.h"
#include "shell/AccessModes.h"
#include "shell/Activation.h"
#include "shell/BarOptions.h"
#include "shell/BoardOpening.h"
#include "shell/ButtonActions.h"
#include "shell/ExternalDoors.h"
#include "shell/MenuModel.h"
#include "shell/ProgramOptions.h"
#include "shell/ShellContext.h"
#include "shell/SoundSwitches.h"
#include "shell/Version.h"
#include "shell/VisualAccess.h"
#include "shell/WindowPlacement.h"

namespace nq {

class BoardPictureLoader;
class Dialogs;
class ImageScaler;
class UiQueue;
class TextMetrics;
class Launcher;

// The back ends the player is built with; all outlive it.
struct PlayerServices {
  Clock& TheClock;
  Dialogs& Messages;
  TextMetrics& Metrics;
  ImageScaler& Scaler;
  WindowView& Window;
  Launcher& Programs;
};

// Where the player's files are.
struct PlayerPaths {
  std::string ProgramFolder; // the executable's folder, Windows-1252, ending with "/"
  std::string DataFolder;    // the bundled data (menu board, start picture), ending with "/"
  std::string SettingsFile;  // nexoquadrix.ini
  std::string SharedFile;    // Quadrix.ini
  bool CreateSettingsFolder = false;
};

using MouseEventKind = PointerEventKind;

inline constexpr std::string_view ProgramTitleText = "NexoQuadrix";
// The tutorial ships with the program, so it opens without a network.
inline constexpr std::string_view TutorialPage = "tutorial/index.html";

class Player : private ItemActions, private SpecialFunctionHost, private SpecialFunctionRunner {
public:
  Player(const PlayerServices& services, const PlayerPaths& paths);
  ~Player();

  /// Window creation: opens the settings, creates the cells, shows the start picture.
  void FormCreate();
  /// Before the window is first shown: started in the external-window mode, the window is made one that
  /// never takes the focus, so not even its first appearance takes it from the user's program.
  void PrepareFirstShow();
  /// The start sequence after the window exists: caption, first-run speech choice, settings, first board.
  void Start(const std::vector<std::string>& arguments);
  /// Closing: stops the detectors, removes the hook and saves the home board.
  void FormClose();

  /// A menu item was chosen (by its name); false when the name is unknown.
  bool MenuClick(const std::string& name);
  /// A top-level menu was opened.
  void MenuOpened(const std::string& name);
  /// A mouse event over the window, in client coordinates (the mouse hook).
  void HandleMouseEvent(MouseEventKind kind, int32_t x, int32_t y);
  /// The client area changed size.
  void ClientResized(int32_t width, int32_t height);
  /// The window moved or changed size on screen.
  void WindowRectChanged(const WindowRect& rect);
  /// A file was dropped on the window.
  void DroppedFile(const std::string& name) { Opening.DroppedFile(name); }

  /// Connects the speaking, the keys, the clipboard and the memo the activation and the bars use.
  void SetSpeech(SoundOrSpeech* speech);
  void SetKeySink(KeySink* keys);
  void SetClipboard(Clipboard* clipboard);
  void SetMessageMemo(MessageMemo* memo);
  /// Where programs named by boards are looked for ($PATH), as folders separated by ":".
  void SetProgramSearchPath(const std::string& path) { Functions.SetSearchPath(path); }

  // Doors to later parts (sound detectors, external window); null until wired.
  void SetSoundDetectors(SoundDetectorControl* detectors) { Ctx.SoundDetectors = detectors; }
  void SetExternalWindow(ExternalWindowControl* external) { Ctx.ExternalWindow = external; }
  /// Connects the on-screen keyboard (key sequences, external-window mode); before Start.
  void SetExternalWindowParts(KeySink& keys, KeyboardLayout& layout, Clipboard& clipboard, Desktop& desktop,
                              NonFocusableWindow& window);
  /// The on-screen keyboard; null until connected.
  ExternalDoors* External() { return TheExternal.get(); }
  /// Builds the sound switches over the two microphone captures (which outlive the player).
  void AttachSound(AudioCapture& singleChannel, AudioCapture& stereo);
  SoundSwitches* Sound() { return TheSound.get(); }

  // State for the view and the tests.
  const ShellState& State() const { return TheState; }
  ShellState& MutableState() { return TheState; }
  const MenuModel& Menu() const { return TheMenu; }
  const Board& CurrentBoard() const { return TheBoard; }
  CellBoxes& Boxes() { return TheBoxes; }
  GridLayout& Layout() { return TheLayout; }
  const GridLayout& Layout() const { return TheLayout; }
  SettingsStore& Settings() { return TheSettings; }
  BoardOpening& Boards() { return Opening; }
  WindowPlacement& Placement() { return ThePlacement; }
  ProgramOptions& Options() { return TheOptions; }
  BarOptions& Bars() { return TheBars; }
  PictureCache& Pictures() { return ThePictures; }
  Timer& MenuTimer() { return *TimerMenu; }
  Activation& Activations() { return TheActivation; }
  ButtonActions& Buttons() { return TheButtons; }
  AccessModes& Modes() { return *Access; }
  const AccessModes& Modes() const { return *Access; }
  VisualAccessOptions& VisualOptions() { return *VisualAccess; }
  CellCommands& Specials() { return Functions; }
  /// Which board folders may run commands that reach outside the player.
  FolderTrust& Trust() { return TheTrust; }
  /// From now on a board's pictures load on `workers` threads after the board is shown, and reach the
  /// player through ui (on the UI thread).
  void LoadPicturesInBackground(UiQueue& ui, int workers = DefaultPictureWorkers);
  /// Pictures of the board on screen that are still loading.
  std::size_t PicturesPending() const;
  /// Moves the pointer onto the scanned item (the real pointer of the desktop); optional.
  void SetPointerMover(PointerMover* mover) { Access->SetPointerMover(mover); }

private:
  // What a selection reaches: a grid cell or a button of the bar.
  void ActivateCell(int32_t k) override { TheActivation.ActivateCell(k); }
  void RunButtonAction(int32_t k) override { TheButtons.RunButtonAction(k); }
  // What a cell's special function reaches (PlayerCellCommands.cpp).
  void RunSpecialFunction(const std::string& text) override { Functions.RunSpecialFunction(text); }
  bool SendNamedKey(const std::string& folded) override;
  void SendKeyEvent(uint8_t virtualKey, bool down) override;
  void ToggleExternalWindowMode() override;
  void ToggleNoMenuNoCaption() override;
  void FitReceivingWindow() override;
  bool CloseForegroundApplication() override;
  bool ExternalWindowModeOn() const override;
  void SuspendExternalWindowMode(bool suspended) override;
  bool PerformMenuItem(const std::string& name) override { return MenuClick(name); }
  bool NoMenuNoCaptionOn() const override { return TheState.NoMenuNoCaptionMode; }
  bool OpenBoard(const std::string& path) override;
  std::string MenuBoardPath() const override { return Opening.MenuBoardPath(); }
  void StopScanning() override { Ctx.StopScanning(); }
  void CloseMainWindow() override { Services.Window.CloseWindow(); }
  std::string BoardFolder() const override { return TheState.DirectoriActual; }
  std::string CurrentBoardFile() const override { return TheState.CurrentBoardFile; }
  std::string ProgramFolder() const override { return TheState.ProgramFolder; }
  bool KeySequenceRunning() const override { return TheButtons.Running(); }

  void ShowStartPicture();
  void OpenStartBoard(const std::string& asGiven);
  void ClearStartBoard();
  void TimerMenuTimer();
  void BuildMenuHandlers();

  PlayerServices Services;
  PlayerPaths Paths;
  ShellState TheState;
  MenuModel TheMenu;
  SettingsStore TheSettings;
  Board TheBoard;
  BoardFile TheBoardFile;
  CellMarkSettingsStore MarkSettings;
  CellBoxes TheBoxes;
  GridLayout TheLayout;
  PictureCache ThePictures;
  ShellContext Ctx;
  ProgramOptions TheOptions;
  WindowPlacement ThePlacement;
  BarOptions TheBars;
  BoardOpening Opening;
  Activation TheActivation;
  ButtonActions TheButtons;
  std::unique_ptr<SoundOrSpeechOutput> SpeechAdapter;
  std::unique_ptr<Timer> TimerMenu;
  std::unique_ptr<AccessModes> Access;
  std::unique_ptr<VisualAccessOptions> VisualAccess;
  std::unique_ptr<ExternalDoors> TheExternal;
  NonFocusableWindow* FocusableWindow = nullptr;
  FolderTrust TheTrust;
  CellCommands Functions;
  std::unique_ptr<SoundSwitches> TheSound;
  std::unique_ptr<BoardPictureLoader> PictureLoader; // before Opening and ThePictures in destruction
  std::vector<std::pair<std::string, std::function<void()>>> Handlers;
};

} // namespace nq

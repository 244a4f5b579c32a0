#pragma once
// The special-function dispatcher: a cell's command token ("<CASA>", "<LLEGIR MISSATGE>",
// "<NEXO_MENU_MenuSpeak>", "<EXECUTAR notepad.exe>"...) becomes the action it names. The dispatcher
// keeps no state of its own beyond the wait of the calculator; everything it changes belongs to the
// player, which it reaches through SpecialFunctionHost.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace nq {

class Clipboard;
class Clock;
class Dialogs;
class Launcher;
class OutsideCommandGate;
struct LaunchPlan;

// The player as the dispatcher sees it.
class SpecialFunctionHost {
public:
  virtual ~SpecialFunctionHost() = default;

  // The keyboard and the window that receives it.
  /// Sends the key or chord of a key token (accent-folded text); false when the text is no key token.
  virtual bool SendNamedKey(const std::string& folded) = 0;
  /// Sends one raw key event for a Windows virtual-key code to the window with the focus.
  virtual void SendKeyEvent(uint8_t virtualKey, bool down) = 0;
  /// "Actuar en ventana externa": the window stops or starts taking the focus.
  virtual void ToggleExternalWindowMode() = 0;
  /// "No menu. No caption": the main menu and the window frame go or come back.
  virtual void ToggleNoMenuNoCaption() = 0;
  /// Sizes the receiving window to the space the board leaves free (external-window mode only).
  virtual void FitReceivingWindow() = 0;
  /// Asks the normal application window in front, when it is not ours, to close; false when none was.
  virtual bool CloseForegroundApplication() = 0;
  /// True while "Actuar en ventana externa" is checked.
  virtual bool ExternalWindowModeOn() const = 0;
  /// Lets the window take the focus for a while (a dialog of ours) without changing the option.
  virtual void SuspendExternalWindowMode(bool suspended) = 0;

  // The player.
  /// Runs a button-bar action by its code (-1 home ... -8 speech on or off).
  virtual void RunButtonAction(int32_t k) = 0;
  /// Does exactly what choosing the main-menu item with that name does; false for an unknown name.
  virtual bool PerformMenuItem(const std::string& name) = 0;
  /// True while "No menu. No caption" is on.
  virtual bool NoMenuNoCaptionOn() const = 0;
  /// Opens a board file; false when it did not open.
  virtual bool OpenBoard(const std::string& path) = 0;
  /// The menu board of the program, or empty when it has none.
  virtual std::string MenuBoardPath() const = 0;
  virtual void StopScanning() = 0;
  /// Closes the main window, which ends the program.
  virtual void CloseMainWindow() = 0;
  /// Folder of the board on screen, Windows-1252, ending with its separator.
  virtual std::string BoardFolder() const = 0;
  virtual std::string CurrentBoardFile() const = 0;
  /// Folder of the program file, Windows-1252, ending with "/".
  virtual std::string ProgramFolder() const = 0;
  /// True while a button-bar command is inside its waits (its keys are still on their way).
  virtual bool KeySequenceRunning() const = 0;
};

// Virtual-key codes the calculator command sends.
inline constexpr uint8_t VkShift = 16;
inline constexpr uint8_t VkControl = 17;
inline constexpr uint8_t VkEnd = 35;
inline constexpr uint8_t VkHome = 36;
inline constexpr uint8_t VkInsert = 45;

// The board editor of this package, and the option that tells it the player closed to make way for it.
inline constexpr std::string_view CompanionEditorName = "nexoquadrix-editor";
inline constexpr std::string_view CompanionReturnOption = "--return-to-player";
inline constexpr std::string_view CompanionMissingText =
    "No se encuentra el editor de plafones (nexoquadrix-editor) en la carpeta de NexoQuadrix: ";
inline constexpr std::string_view RefusedProgramText = "No se abre ";
inline constexpr std::string_view RefusedProgramReason =
    ": otros usuarios pueden cambiar este archivo o una de sus carpetas.";

class CellCommands {
public:
  /// searchPath is the list of folders where programs named by boards are looked for (as $PATH).
  CellCommands(SpecialFunctionHost& host, Launcher& launcher, Dialogs& messages, Clock& clock,
               std::string searchPath);

  /// Runs one cell's special function (Windows-1252); a text that names no command does nothing.
  void RunSpecialFunction(const std::string& text);
  /// Starts the board editor from the program folder with the board on screen, then closes the
  /// program; when the editor is missing, says so and keeps running.
  void LaunchCompanionProgram();

  /// The row of the command table a text runs (1 to 50), or 0 when it runs none; key tokens are not
  /// in the table.
  static int32_t CommandRow(const std::string& text);

  void SetSearchPath(std::string searchPath) { SearchPath = std::move(searchPath); }

  /// True while "<CALCULAR>" waits for the copy and the paste.
  bool Calculating() const { return CalculatorWaiting; }

  Clipboard* TheClipboard = nullptr;
  /// Decides whether the board may run a command that reaches outside the player; without one, no
  /// such command runs.
  OutsideCommandGate* Gate = nullptr;

  /// What a command that reaches outside would do, as the question about it shows it (Windows-1252):
  /// the program and each argument or the document of a planned "<EXECUTAR", else the command.
  static std::string DescribeOutside(const std::string& text, const LaunchPlan* plan,
                                     const std::string& boardFile);

private:
  struct Row;
  static const Row* FindRow(const std::string& text, const std::string& folded);
  void RunRow(const Row& row, const std::string& folded);

  // The one trust check of commands that reach outside; false when the command must not run.
  bool MayReachOutside(const std::string& text, const LaunchPlan* plan);
  void Launch(const LaunchPlan& plan);
  void Calculate();
  void OpenMenuBoard();
  void OpenBoardDialog();
  void SendKeyCombination(const std::string& folded);
  void Press(uint8_t key);
  void PreviousBoard();

  SpecialFunctionHost& Host;
  Launcher& Programs;
  Dialogs& Messages;
  Clock& TheClock;
  std::string SearchPath;
  bool CalculatorWaiting = false;
  // Boards already told that a program beside them was refused.
  std::set<std::string> ToldRefused;
};

} // namespace nq

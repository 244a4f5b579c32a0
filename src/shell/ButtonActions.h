#pragma once
// The button bar's commands (home, back, say the last word, say the message, delete the last item or
// word, clear, speech on or off) for the three places a message can be: the message cells, the memo
// of the letters-or-words mode, or another program's window in the external-window mode.
#include <cstdint>

#include "boards/CellBoxes.h"
#include "boards/GridLayout.h"
#include "platform/Clock.h"
#include "platform/KeySink.h"
#include "shell/BoardOpening.h"
#include "shell/ProgramOptions.h"
#include "shell/ShellPorts.h"
#include "shell/ShellState.h"

namespace nq {

class Clipboard;

// The pause that lets the focused window handle the keys sent so far.
inline constexpr int32_t KeySequenceWaitMs = 100;

// Item numbers of the button bar.
enum ButtonItem : int32_t {
  ButtonInici = -1,
  ButtonAnterior = -2,
  ButtonUltima = -3,
  ButtonLlegir = -4,
  ButtonUltim = -5,
  ButtonParaula = -6,
  ButtonEsborrar = -7,
  ButtonSimbol = -8,
  ButtonImprimir = -9,
};

// Where the message being composed lives.
enum class MessagePlace { MessageCells, Memo, ExternalWindow };

// Parts wired later; an empty door skips its step.
struct ButtonDoors {
  SpeechOutput* Speech = nullptr;
  KeySink* Keys = nullptr;
  Clipboard* TheClipboard = nullptr;
  MessageMemo* Memo = nullptr;
};

class ButtonActions {
public:
  ButtonActions(ShellState& state, CellBoxes& boxes, GridLayout& layout, Clock& clock, BoardOpening& boards,
                ProgramOptions& options);

  /// Runs the command of button item k (-1..-9); other numbers only clear the button highlight. A
  /// command chosen while another is still running (inside its waits) is ignored.
  void RunButtonAction(int32_t k);

  /// Empties and hides the last message cell in use; nothing when there is none.
  void RemoveLastMessageCell();
  /// Empties and hides all message cells.
  void ClearMessageCells();

  /// Where the message lives now, by the external-window and letters-or-words modes.
  MessagePlace CurrentPlace() const;
  /// True while a command runs (including its waits).
  bool Running() const { return Busy; }

  ButtonDoors Doors;

private:
  void Run(int32_t k);
  void SayLastWord(MessagePlace place);
  void SayMessage(MessagePlace place);
  void DeleteLastCharacter(MessagePlace place);
  void DeleteLastWord(MessagePlace place);
  void ClearMessage(MessagePlace place);
  void ReadMessageCells();
  bool MemoEmpty() const;
  static void EmptyMessageCell(TBox& box);

  // Key sequences sent to the focused window.
  void Press(VirtualKey key);
  void SelectWordBeforeCaret();
  void SelectAll();
  void CopySelection();
  void CaretToEnd();
  void SaySelection();
  void Wait();

  ShellState& State;
  CellBoxes& Boxes;
  GridLayout& Layout;
  Clock& TheClock;
  BoardOpening& Boards;
  ProgramOptions& Options;
  bool Busy = false;
};

} // namespace nq

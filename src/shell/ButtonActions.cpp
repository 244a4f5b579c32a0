#include "shell/ButtonActions.h"

#include "platform/Clipboard.h"
#include "shell/BusyScope.h"

namespace nq {

ButtonActions::ButtonActions(ShellState& state, CellBoxes& boxes, GridLayout& layout, Clock& clock,
                             BoardOpening& boards, ProgramOptions& options)
    : State(state), Boxes(boxes), Layout(layout), TheClock(clock), Boards(boards), Options(options) {}

MessagePlace ButtonActions::CurrentPlace() const {
  if (State.ExternalWindowMode) return MessagePlace::ExternalWindow;
  if (State.View.WriteLettersOrWordsMode) return MessagePlace::Memo;
  return MessagePlace::MessageCells;
}

void ButtonActions::RunButtonAction(int32_t k) {
  Layout.ClearButtonHighlight();
  // The waits inside a command let clicks and timers run; a second command started there would
  // interleave its keys with this one's (and select or delete more than the user chose), so it is
  // dropped, as it would be while the window is busy.
  if (Busy) return;
  BusyScope scope(Busy);
  Run(k);
}

void ButtonActions::Run(int32_t k) {
  const MessagePlace place = CurrentPlace();
  switch (k) {
  case ButtonInici:
    Boards.OpenBoard(State.HomeBoardFile);
    break;
  case ButtonAnterior:
    if (!State.PreviousBoardFile.empty()) Boards.OpenBoard(State.PreviousBoardFile);
    break;
  case ButtonUltima:
    SayLastWord(place);
    break;
  case ButtonLlegir:
    SayMessage(place);
    break;
  case ButtonUltim:
    DeleteLastCharacter(place);
    break;
  case ButtonParaula:
    DeleteLastWord(place);
    break;
  case ButtonEsborrar:
    ClearMessage(place);
    break;
  case ButtonSimbol:
    Options.MenuSpeakClick();
    break;
  default:
    break;
  }
}

bool ButtonActions::MemoEmpty() const {
  return Doors.Memo != nullptr && Doors.Memo->Text().empty();
}

void ButtonActions::SayLastWord(MessagePlace place) {
  if (place == MessagePlace::MessageCells) {
    const int32_t count = State.View.MessageCellCount;
    if (const TBox* last = Boxes.MessageBox(count); last && Doors.Speech)
      Doors.Speech->SpeakOrPlay(last->Read);
    return;
  }
  if (place == MessagePlace::Memo && MemoEmpty()) return;
  if (!Doors.Keys) return;
  SelectWordBeforeCaret();
  SaySelection();
}

void ButtonActions::SayMessage(MessagePlace place) {
  switch (place) {
  case MessagePlace::MessageCells:
    ReadMessageCells();
    break;
  case MessagePlace::Memo:
    if (Doors.Memo && Doors.Speech) Doors.Speech->SpeakOrPlay(Doors.Memo->Text());
    break;
  case MessagePlace::ExternalWindow:
    if (!Doors.Keys) return;
    SelectAll();
    SaySelection();
    break;
  }
}

void ButtonActions::ReadMessageCells() {
  if (!Doors.Speech) return;
  // Each text is said to the end before the next; meanwhile cells may be added or removed, so the
  // count is looked at again after every one and the text is copied before it is said.
  for (int32_t i = 1; i <= State.View.MessageCellCount; ++i) {
    const TBox* box = Boxes.MessageBox(i);
    if (box == nullptr) break;
    const std::string text = box->Read;
    Doors.Speech->SpeakOrPlayAndWait(text);
  }
}

void ButtonActions::DeleteLastCharacter(MessagePlace place) {
  if (place == MessagePlace::MessageCells) {
    RemoveLastMessageCell();
    return;
  }
  if (place == MessagePlace::Memo && MemoEmpty()) return;
  if (Doors.Keys) Press(VirtualKey::Backspace);
}

void ButtonActions::DeleteLastWord(MessagePlace place) {
  if (place == MessagePlace::MessageCells) {
    RemoveLastMessageCell();
    return;
  }
  if (place == MessagePlace::Memo && MemoEmpty()) return;
  if (!Doors.Keys) return;
  SelectWordBeforeCaret();
  Wait();
  Press(VirtualKey::Delete);
}

void ButtonActions::ClearMessage(MessagePlace place) {
  switch (place) {
  case MessagePlace::MessageCells:
    ClearMessageCells();
    break;
  case MessagePlace::Memo:
    if (Doors.Memo) Doors.Memo->Clear();
    break;
  case MessagePlace::ExternalWindow:
    if (!Doors.Keys) return;
    SelectAll();
    Wait();
    Press(VirtualKey::Delete);
    break;
  }
}

void ButtonActions::EmptyMessageCell(TBox& box) {
  box.DropPicture();
  box.Caption.clear();
  box.CaptionLabel.Text.clear();
  box.Read.clear();
  CellBoxes::HideCell(box);
}

void ButtonActions::RemoveLastMessageCell() {
  const int32_t count = State.View.MessageCellCount;
  if (count <= 0) return;
  if (TBox* box = Boxes.MessageBox(count)) EmptyMessageCell(*box);
  State.View.MessageCellCount = count - 1;
  Layout.Invalidate();
}

void ButtonActions::ClearMessageCells() {
  State.View.MessageCellCount = 0;
  for (int32_t i = 1; i <= MessageBoxCount; ++i)
    EmptyMessageCell(*Boxes.MessageBox(i));
  Layout.Invalidate();
}

void ButtonActions::Press(VirtualKey key) {
  Doors.Keys->KeyDown(key);
  Doors.Keys->KeyUp(key);
}

void ButtonActions::SelectWordBeforeCaret() {
  KeySink& keys = *Doors.Keys;
  keys.KeyDown(VirtualKey::Shift);
  keys.KeyDown(VirtualKey::Control);
  Press(VirtualKey::Left);
  keys.KeyUp(VirtualKey::Control);
  keys.KeyUp(VirtualKey::Shift);
}

void ButtonActions::SelectAll() {
  KeySink& keys = *Doors.Keys;
  keys.KeyDown(VirtualKey::Control);
  Press(VirtualKey::Home);
  keys.KeyDown(VirtualKey::Shift);
  Press(VirtualKey::End);
  keys.KeyUp(VirtualKey::Shift);
  keys.KeyUp(VirtualKey::Control);
}

void ButtonActions::CopySelection() {
  KeySink& keys = *Doors.Keys;
  // A layout without the letter cannot copy; the emptied clipboard then says nothing.
  const VirtualKey copyKey = keys.KeyForCharacter('C');
  if (copyKey == VirtualKey::None) return;
  keys.KeyDown(VirtualKey::Control);
  Press(copyKey);
  keys.KeyUp(VirtualKey::Control);
}

void ButtonActions::CaretToEnd() {
  KeySink& keys = *Doors.Keys;
  keys.KeyDown(VirtualKey::Control);
  Press(VirtualKey::End);
  keys.KeyUp(VirtualKey::Control);
}

void ButtonActions::SaySelection() {
  Wait();
  // An empty selection copies nothing; emptying the clipboard first keeps an older text from being
  // said as if it were the message.
  if (Doors.TheClipboard) Doors.TheClipboard->CopyTextToClipboard("");
  CopySelection();
  CaretToEnd();
  Wait();
  if (Doors.TheClipboard && Doors.Speech) Doors.Speech->SpeakOrPlay(Doors.TheClipboard->ReadClipboardText());
}

void ButtonActions::Wait() {
  TheClock.WaitWithMessages(KeySequenceWaitMs);
}

} // namespace nq

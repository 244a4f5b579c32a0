#include "shell/Activation.h"

#include "platform/Clipboard.h"
#include "shell/AccessModes.h"

namespace nq {

bool RemoveFirstHash(std::string& text) {
  const size_t hash = text.find('#');
  if (hash == std::string::npos) return false;
  text.erase(hash, 1);
  return true;
}

Activation::Activation(ShellState& state, const MenuModel& menu, CellBoxes& boxes, GridLayout& layout,
                       WindowView& window, Clock& clock, BoardOpening& boards)
    : State(state), Menu(menu), Boxes(boxes), Layout(layout), Window(window), Boards(boards),
      TimerBoxAction(clock.CreateTimer(BoxActionDelayMs)), TimerFlash(clock.CreateTimer(MessageBarFlashMs)) {
  TimerBoxAction->SetHandler([this] { TimerBoxActionTimer(); });
  TimerFlash->SetHandler([this] { FlashMessageBar(false); });
}

void Activation::FlashMessageBar(bool on) {
  TimerFlash->SetEnabled(on);
  State.View.MessageBarFlash = on;
  Layout.Invalidate();
  Window.Refresh();
}

void Activation::TimerBoxActionTimer() {
  TimerBoxAction->SetEnabled(false);
  // While scanning the scan owns the highlight: a hover update would repaint every frame in its own
  // colour and the user would lose what is highlighted.
  if (State.View.ScanMode != NoScanning) {
    Window.Refresh();
    return;
  }
  int32_t x = 0;
  int32_t y = 0;
  Window.PointerPosition(x, y);
  Layout.UpdateHoveredItem(x, y);
  Window.Refresh();
}

void Activation::RunSpecialFunction(const std::string& text) {
  if (Doors.Functions) Doors.Functions->RunSpecialFunction(text);
}

void Activation::StartActivation() {
  Layout.LastHoveredItem = NoItem;
  Layout.LayoutCells();
  TimerBoxAction->SetInterval(BoxActionDelayMs);
  TimerBoxAction->SetEnabled(true);
  Window.Refresh();
}

void Activation::ActivateCell(int32_t k) {
  // Boxes past the board's cells still hold an earlier, larger board's cells.
  TBox* liveBox = k <= State.CellCount ? Boxes.GridBox(k) : nullptr;
  if (liveBox == nullptr) return;
  if (liveBox->SpecialFunction == RestToken) {
    State.View.RestMode = !State.View.RestMode;
    return;
  }
  if (State.View.RestMode) return;
  State.StayInPlace = liveBox->SpecialFunction == StayInPlaceToken;
  const bool stayInPlace = State.StayInPlace;
  StartActivation();
  // Speech, special functions and pastes may let events run (another board may open and overwrite
  // the boxes), so the rest of the activation works on a copy of the cell as it was chosen.
  const TBox cell = *liveBox;
  const std::string text = Menu.Checked("MenuEscriureTextALlegir") ? cell.Read : cell.CaptionLabel.Text;
  if (State.SpeechOn && Doors.Speech) Doors.Speech->SpeakOrPlay(cell.Read);
  // The mouse hook stays on through the cell's work: the window is busy, so a click made while the
  // message is read or keys are sent is only kept for afterwards; without the hook it would be lost.
  std::string link = cell.Link;
  const bool hashed = RemoveFirstHash(link);
  if (hashed || cell.Link.empty()) ActHere(cell, *liveBox, text, stayInPlace);
  if (!link.empty()) FollowLink(link, cell.SpecialFunction);
  // A modal box shown by the cell's work took the hook away while it showed.
  Window.SetMouseHook(true);
  Layout.HoveredItem = NoItem;
  if (stayInPlace) {
    ApplyHighlight(*liveBox, true, State.View.Highlight);
    Layout.Invalidate();
  }
}

void Activation::ActHere(const TBox& cell, const TBox& liveBox, const std::string& text, bool stayInPlace) {
  const bool runsFunction = !cell.SpecialFunction.empty() && !stayInPlace;
  if (State.ExternalWindowMode) {
    if (runsFunction)
      RunSpecialFunction(cell.SpecialFunction);
    else if (Doors.Typing)
      Doors.Typing->TypeCellText(liveBox, text);
  } else if (runsFunction) {
    RunSpecialFunction(cell.SpecialFunction);
  } else if (State.View.ShowMessageBar && State.View.WriteLettersOrWordsMode) {
    PasteIntoMemo(text);
  } else if (State.View.ShowMessageBar) {
    AppendMessageCell(cell);
  }
}

void Activation::PasteIntoMemo(const std::string& text) {
  if (text.empty()) return;
  Window.FocusMessageMemo();
  // The text also stays on the clipboard, as it does after any paste.
  if (Doors.TheClipboard) Doors.TheClipboard->CopyTextToClipboard(text);
  if (Doors.Memo) Doors.Memo->PasteText(text);
}

void Activation::AppendMessageCell(const TBox& cell) {
  const int32_t count = State.View.MessageCellCount;
  if (count < 0 || count >= State.View.VisibleMessageCells || count >= MessageBoxCount) {
    // The cell was spoken but has no room: the bar says so, or the user would think it was written.
    FlashMessageBar(true);
    return;
  }
  TBox& m = *Boxes.MessageBox(count + 1);
  m.Caption = cell.CaptionLabel.Text;
  m.CaptionLabel.Text = cell.CaptionLabel.Text;
  m.SetCaptionFont(cell.CaptionFont());
  m.Read = cell.Read;
  m.Picture = cell.Picture;
  m.FrameColour = cell.FrameColour;
  m.Frame.PenColour = cell.FrameColour;
  // The message cell may be taller than a grid cell, so it takes a copy loaded for its own size; when
  // none loads it shares the grid cell's picture (pictures are never modified once held).
  const PictureRef larger = cell.Picture.empty() ? nullptr : Boards.MessagePicture(cell);
  if (larger)
    m.SetPicture(SharedPixels(larger), larger->IsBitmap(), larger->SourceWidth, larger->SourceHeight);
  else if (!cell.Picture.empty())
    m.SetPicture(cell.SharedPicture(), cell.HeldAsBitmap(), cell.PictureWidth(), cell.PictureHeight());
  else
    m.SetPicture(nullptr, false);
  m.SpecialFunction = cell.SpecialFunction;
  m.Link.clear();
  m.Number = -1;
  State.View.MessageCellCount = count + 1;
  Layout.LayoutCells();
  Window.Refresh();
}

void Activation::FollowLink(std::string link, const std::string& specialFunction) {
  RemoveFirstHash(link);
  // The cell's special function sees the linked board as the current one (a companion program is
  // started on it); the board left is named current again before the link opens, so "back" returns
  // to it rather than re-opening the linked board. A function that opened a board of its own keeps it.
  const std::string left = State.CurrentBoardFile;
  const std::string linked = State.DirectoriActual + link;
  State.CurrentBoardFile = linked;
  if (!specialFunction.empty()) RunSpecialFunction(specialFunction);
  if (State.CurrentBoardFile == linked) State.CurrentBoardFile = left;
  Boards.OpenLinkedBoard(link);
}

} // namespace nq

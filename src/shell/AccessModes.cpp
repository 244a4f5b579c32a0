#include "shell/AccessModes.h"

#include "settings/SettingsKeys.h"
#include "shell/BoardOpening.h"
#include "shell/BusyScope.h"

namespace nq {
namespace {

constexpr const char* AutomaticItem = "MenuEscaneigAutomatic";
constexpr const char* DirectedItem = "MenuEscaneigDirigit";
constexpr const char* HeldButtonItem = "MenuEscaneigAutomaticActivatAmbClicDretPremut";
constexpr const char* SingleChannelSoundItem = "MenuClicActivatPerUnSo";
constexpr const char* StereoSoundItem = "MenuEnEscaneigDirigitSActivaPerCadascunDelsCanalsEstereoDeSo";

} // namespace

AccessModes::AccessModes(ShellContext& context, Clock& clock, Timer& menuTimer, ItemActions& actions)
    : Ctx(context), MenuTimer(menuTimer), Actions(actions),
      Engine(context.State, context.Boxes, context.Layout, context.Window, actions),
      Prompts(context.State, clock), ScanTimer(clock.CreateTimer(context.State.ScanStepMs)),
      DwellTimer(clock.CreateTimer(context.State.DwellTickMs)), TheProgress(context, clock) {
  ScanTimer->SetHandler([this] { TimerEscaneigTimer(); });
  DwellTimer->SetHandler([this] { TimerClicAutomaticTimer(); });
}

void AccessModes::HandleMouseEvent(PointerEventKind kind, int32_t x, int32_t y) {
  // With "No permitir clics" the buttons are swallowed and reach nothing, not even the menu corner.
  if (kind != PointerEventKind::Move && Ctx.State.NoClicks) return;
  if (MenuTimer.Enabled()) MenuTimer.SetEnabled(false);
  int32_t width = 0;
  int32_t height = 0;
  Ctx.Window.ClientSize(width, height);
  const bool selectOnPress = Ctx.State.SelectOnPress;
  const bool selectingLeft = (kind == PointerEventKind::LeftPress && selectOnPress) ||
                             (kind == PointerEventKind::LeftRelease && !selectOnPress);
  // In directed scanning the right half of the window steps and the left half selects.
  if (Ctx.State.View.ScanMode == DirectedScanning && selectingLeft && x > width / 2) {
    ScanStep();
    return;
  }
  switch (kind) {
  case PointerEventKind::LeftPress:
    LeftPress(x, y, width);
    break;
  case PointerEventKind::LeftRelease:
    LeftRelease(x, y);
    break;
  case PointerEventKind::RightPress:
    RightButton(true);
    break;
  case PointerEventKind::RightRelease:
    RightButton(false);
    break;
  case PointerEventKind::Move:
    if (Ctx.State.View.ScanMode == NoScanning) Ctx.Layout.UpdateHoveredItem(x, y);
    break;
  }
}

void AccessModes::ScanStep() {
  // A step dropped while an item runs must not cut or say anything either.
  if (Engine.Busy) return;
  Prompts.Cut();
  Engine.ScanStep();
  Prompts.Say(Engine.HighlightedPrompt());
}

void AccessModes::LeftPress(int32_t x, int32_t y, int32_t width) {
  if (Ctx.State.NoMenuNoCaptionMode && Ctx.State.MenuCornerLatch && InMenuCorner(x, y, width))
    MenuTimer.SetEnabled(true);
  if (Ctx.State.SelectOnPress) ClickActionAt(x, y);
}

void AccessModes::LeftRelease(int32_t x, int32_t y) {
  if (Ctx.State.SelectOnPress) {
    // A release selects nothing here, but it re-arms the latch, or after one visit to the menu board
    // the corner would never open it again.
    Ctx.State.MenuCornerLatch = true;
    return;
  }
  // The first release after the menu board opened belongs to the press that opened it: swallowed.
  if (!Ctx.State.MenuCornerLatch) {
    Ctx.State.MenuCornerLatch = true;
    return;
  }
  ClickActionAt(x, y);
}

void AccessModes::RightButton(bool press) {
  const bool selectOnPress = Ctx.State.SelectOnPress;
  switch (Ctx.State.View.ScanMode) {
  case AutomaticScanning:
    if (press == selectOnPress) StopScanning();
    break;
  case DirectedScanning:
    if (press == selectOnPress) ScanStep();
    break;
  case HeldButtonScanning:
    // The scan runs only while the right button is held.
    if (press) {
      StartScanTimer();
    } else {
      ScanTimer->SetEnabled(false);
    }
    break;
  default:
    break;
  }
}

void AccessModes::ClickAction() {
  int32_t x = 0;
  int32_t y = 0;
  Ctx.Window.PointerPosition(x, y);
  ClickActionAt(x, y);
}

void AccessModes::ClickActionAt(int32_t x, int32_t y) {
  // Nothing runs inside a running action: a click meanwhile is kept and carried out when it ends.
  if (Engine.Busy) {
    KeepChoice(x, y);
    return;
  }
  switch (Ctx.State.View.ScanMode) {
  case NoScanning:
    ActivateItem(Ctx.Layout.UpdateHoveredItem(x, y));
    LightStartedSwitchScan();
    break;
  case AutomaticScanning:
    SelectScannedItem();
    if (Ctx.State.View.ScanMode == AutomaticScanning) StartScanTimer();
    LightStartedSwitchScan();
    break;
  case DirectedScanning:
  case HeldButtonScanning:
    SelectScannedItem();
    // The activation may have stopped the scan; then nothing more is highlighted.
    if (Ctx.State.View.ScanMode == DirectedScanning || Ctx.State.View.ScanMode == HeldButtonScanning)
      ScanStep();
    break;
  default:
    break;
  }
}

void AccessModes::LightStartedSwitchScan() {
  // A switch scan started by the item just run (the menu board's options do) may have lost its first
  // step to the board that opened after it; the user must see where it is before the first move.
  const int32_t mode = Ctx.State.View.ScanMode;
  if ((mode == DirectedScanning || mode == HeldButtonScanning) && Engine.Highlighted == ScanHighlight::None)
    ScanStep();
}

void AccessModes::SelectScannedItem() {
  if (Engine.Busy) return;
  // The choice is heard at once, not after the rest of its prompt.
  Prompts.Cut();
  ScanPosition& position = Engine.Position;
  if (!Ctx.State.LinearScanning && position.RowPhase) {
    // Before the first row is shown there is no row to choose.
    if (Engine.Highlighted != ScanHighlight::Row) return;
    position.RowPhase = false;
    position.ScanColumn = 0;
    return;
  }
  // Only an item on show is acted on: a chosen row not yet stepped into, or a step that found nothing,
  // selects nothing.
  if (Engine.Highlighted != ScanHighlight::Item) return;
  ScanTimer->SetEnabled(false);
  const int32_t item = Engine.HighlightedItem;
  const uint64_t generation = Engine.Generation;
  RunItem(item);
  // A board opened or a scan stopped by the activation has its own position now.
  if (generation != Engine.Generation) return;
  const int32_t mode = Ctx.State.View.ScanMode;
  if (!Ctx.State.KeepPlace) {
    position.ScanRow = -1;
    position.RowPhase = true;
    Engine.Highlighted = ScanHighlight::None;
    Engine.HighlightedItem = NoItem;
  } else if (mode == DirectedScanning || mode == HeldButtonScanning) {
    // The step that follows the selection shows the same item again.
    --position.ScanColumn;
    Engine.Highlighted = ScanHighlight::None;
    Engine.HighlightedItem = NoItem;
  }
}

void AccessModes::ActivateItem(int32_t k) {
  if (Engine.Busy) return;
  RunItem(k);
}

void AccessModes::KeepChoice(int32_t x, int32_t y) {
  // A scan cannot move while an action runs, so what a switch selects then is the running item itself.
  if (Ctx.State.View.ScanMode != NoScanning) return;
  const int32_t k = Ctx.Layout.UpdateHoveredItem(x, y);
  // A second press on the running item is taken for an accidental double press; a press on nothing
  // is no choice and keeps the one already made.
  if (k == NoItem || k == RunningItem) return;
  Kept = KeptChoice{k, Ctx.State.CurrentBoardFile};
}

void AccessModes::RunItem(int32_t k) {
  RunOneItem(k);
  // The last choice made while the item ran, on the board it was made on and still without a scan.
  while (Kept && !Engine.Busy) {
    const KeptChoice choice = *Kept;
    Kept.reset();
    if (choice.Board == Ctx.State.CurrentBoardFile && Ctx.State.View.ScanMode == NoScanning)
      RunOneItem(choice.Item);
  }
}

void AccessModes::RunOneItem(int32_t k) {
  RunningItem = k;
  RunItemNow(k);
  RunningItem = NoItem;
}

void AccessModes::RunItemNow(int32_t k) {
  if (k < 0) {
    BusyScope busy(Engine.Busy);
    Actions.RunButtonAction(k);
    return;
  }
  if (k == NoItem || k > Engine.Columns() * Engine.Rows()) return;
  const TBox* box = Ctx.Boxes.GridBox(k);
  if (box == nullptr || !CellRunsSomething(*box)) return;
  BusyScope busy(Engine.Busy);
  Actions.ActivateCell(k);
}

void AccessModes::ResetScan() {
  if (!Engine.ResetScan()) return;
  // A board the scan can reach must be reachable by clicks too.
  Ctx.Menu.SetChecked("MenuNoPermeteClicks", false);
  Ctx.State.NoClicks = false;
}

void AccessModes::StopScanning() {
  if (Ctx.State.View.ScanMode <= NoScanning) return;
  if (Sound != nullptr) {
    if (Ctx.Menu.Checked(SingleChannelSoundItem)) Sound->SetSingleChannelDetector(false);
    if (Ctx.Menu.Checked(StereoSoundItem)) Sound->SetStereoDetector(false);
  }
  ScanTimer->SetEnabled(false);
  Prompts.Cut();
  Ctx.State.View.ScanMode = NoScanning;
  Engine.ClearHighlight();
  ++Engine.Generation;
  for (const char* item : {AutomaticItem, DirectedItem, HeldButtonItem})
    Ctx.Menu.SetChecked(item, false);
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuEscaneigAutomaticChecked, false);
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuEscaneigDirigitChecked, false);
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuEscaneigAutomaticActivatAmbClicDretPremutChecked,
                                false);
}

void AccessModes::StopTimers() {
  ScanTimer->SetEnabled(false);
  DwellTimer->SetEnabled(false);
  Prompts.Cut();
  TheProgress.DwellRunning(false);
  // The program is closing: a choice kept for after the running action must not run then.
  Kept.reset();
}

void AccessModes::StartScanning(int32_t mode) {
  StopScanning();
  ResetScan();
  // The pointer's red frame belongs to clicking; the scan shows its own.
  Engine.ClearHighlight();
  Ctx.State.View.ScanMode = mode;
}

void AccessModes::StartScanTimer() {
  ScanTimer->SetInterval(Ctx.State.ScanStepMs);
  ScanTimer->SetEnabled(true);
}

void AccessModes::MenuEscaneigAutomaticClick() {
  StartScanning(AutomaticScanning);
  StartScanTimer();
  Ctx.Menu.SetChecked(AutomaticItem, true);
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuEscaneigAutomaticChecked, true);
  if (Sound != nullptr && Ctx.Menu.Checked(SingleChannelSoundItem)) Sound->SetSingleChannelDetector(true);
}

void AccessModes::MenuEscaneigDirigitClick() {
  StartScanning(DirectedScanning);
  ScanStep();
  Ctx.Menu.SetChecked(DirectedItem, true);
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuEscaneigDirigitChecked, true);
  if (Sound != nullptr && Ctx.Menu.Checked(StereoSoundItem)) Sound->SetStereoDetector(true);
}

void AccessModes::MenuEscaneigAutomaticActivatAmbClicDretPremutClick() {
  StartScanning(HeldButtonScanning);
  ScanStep();
  Ctx.Menu.SetChecked(HeldButtonItem, true);
  Ctx.Settings.WriteSettingFlag(SectionMenuControl, KeyMenuEscaneigAutomaticActivatAmbClicDretPremutChecked,
                                true);
}

void AccessModes::TimerEscaneigTimer() {
  if (Engine.Busy) return;
  // A cell that asked the scan to stay where it is holds it for one tick.
  if (Ctx.State.StayInPlace) {
    Ctx.State.StayInPlace = false;
    return;
  }
  // With the stretch, a prompt still being said holds the step; the timer asks again shortly.
  if (Prompts.HoldStep(Ctx.State.ScanStepMs)) {
    if (ScanTimer->Interval() != StretchPollMs) ScanTimer->SetInterval(StretchPollMs);
    return;
  }
  if (ScanTimer->Interval() != Ctx.State.ScanStepMs) ScanTimer->SetInterval(Ctx.State.ScanStepMs);
  ScanStep();
  Ctx.Window.Refresh();
}

int32_t AccessModes::HoveredAtPointer() {
  int32_t x = 0;
  int32_t y = 0;
  Ctx.Window.PointerPosition(x, y);
  return Ctx.Layout.UpdateHoveredItem(x, y);
}

void AccessModes::SetDwellClick(bool on) {
  if (!on) {
    DwellTimer->SetEnabled(false);
    LastDwellItem = NoItem;
    TheProgress.DwellRunning(false);
    return;
  }
  LastDwellItem = HoveredAtPointer();
  DwellTimer->SetInterval(Ctx.State.DwellTickMs);
  DwellTimer->SetEnabled(true);
  TheProgress.DwellRunning(true);
  TheProgress.DwellTicked(LastDwellItem, false);
}

void AccessModes::TimerClicAutomaticTimer() {
  if (Engine.Busy) return;
  const int32_t k = HoveredAtPointer();
  if (k != LastDwellItem) {
    LastDwellItem = k;
    TheProgress.DwellTicked(k, false);
  } else {
    // Two ticks on the same item click it; the next click needs two more.
    LastDwellItem = NoItem;
    TheProgress.DwellTicked(NoItem, true);
    ActivateItem(k);
    LightStartedSwitchScan();
  }
  Ctx.Window.Refresh();
}

} // namespace nq

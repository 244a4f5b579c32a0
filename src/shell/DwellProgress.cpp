#include "shell/DwellProgress.h"

#include <algorithm>
#include <cmath>

namespace nq {

bool CellRunsSomething(const TBox& box) {
  return !box.Caption.empty() || !box.CaptionLabel.Text.empty() || !box.Picture.empty() ||
         !box.Read.empty() || !box.Link.empty() || !box.SpecialFunction.empty();
}

GridRect DwellTrack(const GridRect& item, int32_t penWidth) {
  const int32_t inset = std::max(penWidth, 0);
  const int32_t width = item.Width - 2 * inset;
  const int32_t height = item.Height - 2 * inset;
  if (width <= 0 || height <= 0) return {};
  // Thick enough to see from a distance, thin enough to leave most of a caption below it readable.
  const int32_t thickness = std::min(std::clamp(std::min(width, height) / 10, 4, 12), height);
  return {item.Left + inset, item.Top + inset + height - thickness, width, thickness};
}

DwellProgress::DwellProgress(ShellContext& context, Clock& clock)
    : Ctx(context), TheClock(clock), Frames(clock.CreateTimer(FrameIntervalMs)) {
  Frames->SetHandler([this] { FrameTick(); });
}

void DwellProgress::SetEnabled(bool on) {
  On = on;
  UpdateTimer();
}

void DwellProgress::DwellRunning(bool running) {
  Dwelling = running;
  LastTick = TheClock.TickCount();
  Waited = NoItem;
  UpdateTimer();
}

void DwellProgress::DwellTicked(int32_t waitedItem, bool clicked) {
  const uint32_t now = TheClock.TickCount();
  LastTick = now;
  Waited = waitedItem;
  // A click starts the wait for the next one; the tick may also have found the pointer on an item
  // the frames have not seen yet.
  if (clicked || (waitedItem != NoItem && waitedItem != Item)) {
    CycleStart = now;
    if (waitedItem != NoItem) Item = waitedItem;
  }
  // The next frame shows it: a repaint here would break the frame rate's cap.
}

void DwellProgress::UpdateTimer() {
  const bool run = On && Dwelling;
  if (run == Frames->Enabled()) return;
  Frames->SetEnabled(run);
  Item = NoItem;
  if (!run) Show({});
}

double DwellProgress::Fraction() const {
  if (!On || !Dwelling || Item == NoItem) return 0.0;
  const uint32_t now = TheClock.TickCount();
  const uint32_t interval = static_cast<uint32_t>(std::max(Ctx.State.DwellTickMs, 1));
  const uint32_t sinceTick = std::min(now - LastTick, interval);
  // The click comes on the next tick when that tick already waits on this item, else on the one after.
  const uint32_t untilClick = (interval - sinceTick) + (Waited == Item ? 0 : interval);
  const double passed = static_cast<double>(now - CycleStart);
  const double total = passed + static_cast<double>(untilClick);
  return total <= 0.0 ? 1.0 : std::clamp(passed / total, 0.0, 1.0);
}

bool DwellProgress::ItemUnderPointer(int32_t& item, GridRect& area, int32_t& penWidth) const {
  int32_t x = 0;
  int32_t y = 0;
  Ctx.Window.PointerPosition(x, y);
  item = Ctx.Layout.ItemAt(x, y);
  penWidth = 0;
  if (item == NoItem) return false;
  const PanelGeometry& panels = Ctx.Layout.Panels();
  if (item > 0) {
    const TBox* box = Ctx.Boxes.GridBox(item);
    if (box == nullptr || !box->Frame.Visible || !CellRunsSomething(*box)) return false;
    const GridRect& f = box->Frame.Bounds;
    area = {panels.Boxes.Left + f.Left, panels.Boxes.Top + f.Top, f.Width, f.Height};
    penWidth = std::max<int32_t>(box->Frame.PenWidth, box->Frame.RingWidth);
    return true;
  }
  // Item -4 is both the message bar and the "Llegir" button; where the pointer is tells them apart.
  if (item == MessageBarItem && !(y > panels.ButtonBar.Top && y < panels.ButtonBar.Bottom())) {
    area = panels.MessageBar;
    return true;
  }
  for (const ButtonPanel& panel : Ctx.Layout.Buttons())
    if (panel.Item == item && panel.Visible) {
      area = panel.Bounds;
      penWidth = 5; // the panel's border round its button
      return true;
    }
  return false;
}

void DwellProgress::FrameTick() {
  int32_t item = NoItem;
  GridRect area;
  int32_t penWidth = 0;
  if (!On || !Dwelling || !ItemUnderPointer(item, area, penWidth)) {
    Item = NoItem;
    Show({});
    return;
  }
  if (item != Item) {
    Item = item;
    CycleStart = TheClock.TickCount();
  }
  DwellIndicator indicator;
  indicator.Track = DwellTrack(area, penWidth);
  indicator.Filled = static_cast<int32_t>(std::lround(Fraction() * indicator.Track.Width));
  indicator.Visible = indicator.Track.Width > 0 && indicator.Filled > 0;
  indicator.Colour = Ctx.State.View.Highlight.Colour;
  if (!indicator.Visible) indicator = {};
  Show(indicator);
}

void DwellProgress::Show(const DwellIndicator& indicator) {
  if (indicator == Shown) return;
  Shown = indicator;
  Ctx.Window.RefreshDwellProgress();
}

} // namespace nq

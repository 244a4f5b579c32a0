#pragma once
// The dwell progress: while the pointer rests on an item for a dwell click, a bar along the bottom of
// the item fills in the highlight colour until the click comes, so an eye-tracker user can tell how
// long to keep still. It follows the dwell timer's own ticks (the click comes on the second tick that
// finds the pointer on the item), sampled by a frame timer of at most 25 frames a second that runs only
// while the option and the dwell click are both on.
#include <cstdint>
#include <memory>

#include "platform/Clock.h"
#include "shell/ShellContext.h"

namespace nq {

// What the painter draws: the part of Track from its left edge, Filled pixels wide, in Colour.
struct DwellIndicator {
  bool Visible = false;
  GridRect Track; // window client pixels
  int32_t Filled = 0;
  int32_t Colour = HighlightColour;
  bool operator==(const DwellIndicator&) const = default;
};

/// True when choosing the grid cell would do something (a caption, a text, a picture, a link or a function).
bool CellRunsSomething(const TBox& box);

/// The strip along the bottom inside of an item's rectangle (inset by its frame pen) that the bar fills.
GridRect DwellTrack(const GridRect& item, int32_t penWidth);

class DwellProgress {
public:
  // 25 frames a second at most.
  static constexpr int FrameIntervalMs = 40;

  DwellProgress(ShellContext& context, Clock& clock);

  /// Turns the option on or off; off hides the bar at once and stops the frame timer.
  void SetEnabled(bool on);
  bool Enabled() const { return On; }
  /// The dwell timer started (its period begins now) or stopped.
  void DwellRunning(bool running);
  /// A dwell tick has run: waitedItem is the item it now waits on (0 when it clicked or found nothing).
  void DwellTicked(int32_t waitedItem, bool clicked);
  /// Samples the pointer and updates the bar; asks the window to repaint it only when it changed.
  void FrameTick();

  /// The part of the dwell time passed on the item under the pointer, 0 to 1.
  double Fraction() const;
  const DwellIndicator& Indicator() const { return Shown; }
  const Timer& FrameTimer() const { return *Frames; }

private:
  void UpdateTimer();
  void Show(const DwellIndicator& indicator);
  /// The item under the pointer and its rectangle in client pixels with its frame's pen width; false on
  /// nothing, on an unused cell and on a cell that does nothing.
  bool ItemUnderPointer(int32_t& item, GridRect& area, int32_t& penWidth) const;

  ShellContext& Ctx;
  Clock& TheClock;
  std::unique_ptr<Timer> Frames;
  bool On = false;
  bool Dwelling = false;
  uint32_t LastTick = 0;   // when the dwell timer last ticked or started
  uint32_t CycleStart = 0; // when the pointer came onto Item, or the last click on it
  int32_t Item = NoItem;   // the item under the pointer at the last frame
  int32_t Waited = NoItem; // the item the dwell timer waits on since its last tick
  DwellIndicator Shown;
};

} // namespace nq

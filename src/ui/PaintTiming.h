#pragma once
// Optional timing lines for the benchmarks (NEXOQUADRIX_TIMING=1): time to the first complete
// paint of a board (frames and captions), to the first paint with every one of its pictures, and from
// a pointer move that changed the highlight to the repainted frame.
#include <QElapsedTimer>
#include <cstdio>

namespace nq {

struct PaintTiming {
  bool Enabled = false;
  QElapsedTimer SinceStart;
  QElapsedTimer SinceEvent;  // since the last pointer event reached the window
  QElapsedTimer SinceHover;  // since the pointer event whose change waits to be painted
  qint64 LaunchOffsetMs = 0; // from the launch the benchmark noted to the start of main
  bool FirstBoardPainted = false;
  bool PicturesPainted = false;

  void PointerEvent() {
    if (Enabled) SinceEvent.start();
  }
  void HoverChanged() {
    if (Enabled && SinceEvent.isValid()) SinceHover = SinceEvent;
  }
  void Painted(bool boardShown, bool picturesPending) {
    if (!Enabled) return;
    if (boardShown && !FirstBoardPainted) {
      FirstBoardPainted = true;
      std::printf("first-paint-ms %lld\n", static_cast<long long>(SinceStart.elapsed() + LaunchOffsetMs));
    }
    if (FirstBoardPainted && !PicturesPainted && !picturesPending) {
      PicturesPainted = true;
      std::printf("pictures-paint-ms %lld\n", static_cast<long long>(SinceStart.elapsed() + LaunchOffsetMs));
    }
    if (SinceHover.isValid()) {
      std::printf("hover-paint-us %lld\n", static_cast<long long>(SinceHover.nsecsElapsed() / 1000));
      SinceHover.invalidate();
    }
    std::fflush(stdout);
  }
};

} // namespace nq

#pragma once
// A board's pictures loaded behind its back: the board is painted with frames and captions at once,
// and each picture reaches the UI thread when a worker thread has it (from the disk cache or decoded),
// roughly in the order asked. Opening another board cancels what is left: every request carries the
// generation it was made in, and results of an older generation are dropped wherever they are
// (queued, being decoded, or already waiting for the UI thread), so a board that was left never shows
// its pictures on the next one. Everything but the workers runs on the UI thread.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "boards/PictureCache.h"

namespace nq {

class UiQueue;

class BoardPictureLoader {
public:
  /// Called on the UI thread for request `index` with its picture (nullptr when it does not load).
  using Arrival = std::function<void(std::size_t index, const PictureRef& picture)>;

  /// Keeps pictures in memory (and the memory cache's disk cache), hands results back through ui.
  BoardPictureLoader(PictureCache& memory, UiQueue& ui, int workers = DefaultPictureWorkers);
  /// Stops the workers; pictures on their way are dropped.
  ~BoardPictureLoader();
  BoardPictureLoader(const BoardPictureLoader&) = delete;
  BoardPictureLoader& operator=(const BoardPictureLoader&) = delete;

  /// Cancels the previous board's pictures, then answers every request: the ones memory holds before
  /// returning, the rest later through onArrival; afterArrivals runs once after each group of arrivals
  /// that came from the workers (to lay out and repaint once per group).
  void Start(const std::vector<PictureRequest>& requests, const PictureLoadOptions& options,
             Arrival onArrival, std::function<void()> afterArrivals);
  /// Drops every picture still on its way; none of them arrives any more.
  void Cancel();
  /// Requests of the current board whose answer has not arrived yet.
  std::size_t Pending() const { return PendingJobs; }
  /// Changes with every Start and Cancel.
  uint64_t Generation() const;

private:
  struct Shared;
  void Drain();
  void StartWorkers();

  PictureCache& Memory;
  std::shared_ptr<Shared> State;
  std::vector<std::thread> Workers;
  int WorkerCount;
  Arrival OnArrival;
  std::function<void()> AfterArrivals;
  std::vector<std::vector<std::size_t>> JobSlots; // request positions each job of this generation answers
  std::size_t PendingJobs = 0;
};

} // namespace nq

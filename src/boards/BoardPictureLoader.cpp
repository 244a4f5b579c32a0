#include "boards/BoardPictureLoader.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>

#include "boards/PictureDiskCache.h"
#include "platform/UiQueue.h"

namespace nq {

struct BoardPictureLoader::Shared {
  struct Job {
    uint64_t Generation = 0;
    std::size_t Id = 0;
    PictureRequest Request;
    PictureLoadOptions Options;
  };
  struct Done {
    uint64_t Generation = 0;
    std::size_t Id = 0;
    std::optional<LoadedPicture> Picture;
  };

  explicit Shared(UiQueue& ui) : Ui(ui) {}

  UiQueue& Ui;
  PictureDiskCache* Disk = nullptr;
  std::mutex Lock;
  std::condition_variable Wake;
  std::deque<Job> Jobs;
  std::vector<Done> Finished;
  bool DrainPosted = false;
  bool Stopping = false;
  std::atomic<uint64_t> Generation{0};
};

BoardPictureLoader::BoardPictureLoader(PictureCache& memory, UiQueue& ui, int workers)
    : Memory(memory), State(std::make_shared<Shared>(ui)), WorkerCount(workers) {}

BoardPictureLoader::~BoardPictureLoader() {
  {
    const std::lock_guard<std::mutex> lock(State->Lock);
    State->Stopping = true;
    State->Jobs.clear();
  }
  State->Wake.notify_all();
  for (std::thread& worker : Workers)
    worker.join();
}

uint64_t BoardPictureLoader::Generation() const {
  return State->Generation.load();
}

void BoardPictureLoader::StartWorkers() {
  if (!Workers.empty()) return;
  const int count = PictureWorkerCount(WorkerCount, static_cast<std::size_t>(WorkerCount));
  std::weak_ptr<Shared> weak = State;
  for (int i = 0; i < count; ++i) {
    Shared* shared = State.get();
    auto work = [shared, weak, this] {
      for (;;) {
        Shared::Job job;
        {
          std::unique_lock<std::mutex> lock(shared->Lock);
          shared->Wake.wait(lock, [shared] { return shared->Stopping || !shared->Jobs.empty(); });
          if (shared->Stopping) return;
          job = std::move(shared->Jobs.front());
          shared->Jobs.pop_front();
        }
        if (job.Generation != shared->Generation.load()) continue; // the board was left meanwhile
        std::optional<LoadedPicture> picture;
        try {
          picture = shared->Disk != nullptr
                        ? shared->Disk->LoadOrDecode(job.Request, job.Options)
                        : LoadPictureFile(job.Request.Path, job.Request.Name, job.Options);
        } catch (...) {
          picture.reset(); // nothing may leave a worker thread
        }
        bool post = false;
        {
          const std::lock_guard<std::mutex> lock(shared->Lock);
          if (shared->Stopping) return;
          if (job.Generation != shared->Generation.load()) continue;
          shared->Finished.push_back({job.Generation, job.Id, std::move(picture)});
          post = !shared->DrainPosted;
          shared->DrainPosted = true;
        }
        // One posted task takes every result finished by the time it runs. The loader and its shared
        // state die together on the UI thread, so a task that finds the state gone has nothing to do.
        if (post)
          shared->Ui.Post([weak, this] {
            if (weak.lock()) Drain();
          });
      }
    };
    try {
      Workers.emplace_back(work);
    } catch (const std::system_error&) {
      break;
    }
  }
}

void BoardPictureLoader::Cancel() {
  const std::lock_guard<std::mutex> lock(State->Lock);
  ++State->Generation;
  State->Jobs.clear();
  State->Finished.clear();
  JobSlots.clear();
  PendingJobs = 0;
}

void BoardPictureLoader::Start(const std::vector<PictureRequest>& requests, const PictureLoadOptions& options,
                               Arrival onArrival, std::function<void()> afterArrivals) {
  Cancel();
  OnArrival = std::move(onArrival);
  AfterArrivals = std::move(afterArrivals);
  State->Disk = Memory.DiskCache();
  const uint64_t generation = State->Generation.load();
  std::vector<Shared::Job> jobs;
  std::unordered_map<std::string, std::size_t> jobByPath; // the same picture in several cells loads once
  for (std::size_t i = 0; i < requests.size(); ++i) {
    if (const PictureRef held = Memory.Cached(requests[i], options)) {
      if (OnArrival) OnArrival(i, held);
      continue;
    }
    const auto [found, added] = jobByPath.try_emplace(requests[i].Path, jobs.size());
    if (added) {
      jobs.push_back({generation, jobs.size(), requests[i], options});
      JobSlots.emplace_back();
    }
    JobSlots[found->second].push_back(i);
  }
  PendingJobs = jobs.size();
  if (jobs.empty()) return;
  StartWorkers();
  if (Workers.empty()) { // no thread could be started: load here rather than never
    for (const Shared::Job& job : jobs) {
      const PictureRef picture = Memory.Adopt(
          State->Disk != nullptr ? State->Disk->LoadOrDecode(job.Request, job.Options)
                                 : LoadPictureFile(job.Request.Path, job.Request.Name, job.Options));
      for (const std::size_t slot : JobSlots[job.Id])
        if (OnArrival) OnArrival(slot, picture);
    }
    PendingJobs = 0;
    if (AfterArrivals) AfterArrivals();
    return;
  }
  {
    const std::lock_guard<std::mutex> lock(State->Lock);
    for (Shared::Job& job : jobs)
      State->Jobs.push_back(std::move(job));
  }
  State->Wake.notify_all();
}

void BoardPictureLoader::Drain() {
  std::vector<Shared::Done> finished;
  {
    const std::lock_guard<std::mutex> lock(State->Lock);
    finished.swap(State->Finished);
    State->DrainPosted = false;
  }
  const uint64_t generation = State->Generation.load();
  bool arrived = false;
  for (Shared::Done& done : finished) {
    if (done.Generation != generation || done.Id >= JobSlots.size()) continue;
    const PictureRef picture = Memory.Adopt(std::move(done.Picture));
    if (PendingJobs > 0) --PendingJobs;
    arrived = true;
    for (const std::size_t slot : JobSlots[done.Id])
      if (OnArrival) OnArrival(slot, picture);
  }
  if (arrived && AfterArrivals) AfterArrivals();
}

} // namespace nq

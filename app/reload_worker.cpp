#include "app/reload_worker.h"

#include <utility>

#include "app/entry_model.h"
#include "procinfo/process_api.h"

namespace {

class Locked {
 public:
  explicit Locked(CriticalSection& cs) : cs_(cs) { cs_.Enter(); }
  ~Locked() { cs_.Leave(); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  CriticalSection& cs_;
};

}  // namespace

ReloadWorker::ReloadWorker(HWND window, UINT message)
    : window_(window), message_(message),
      ntFamily_(PlatformId() == VER_PLATFORM_WIN32_NT) {}

ReloadWorker::~ReloadWorker() { Stop(); }

bool ReloadWorker::Start() {
  wake_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!wake_) return false;
  DWORD id = 0;
  thread_.reset(CreateThread(nullptr, 0, Run, this, 0, &id));
  return static_cast<bool>(thread_);
}

DWORD WINAPI ReloadWorker::Run(void* self) {
  static_cast<ReloadWorker*>(self)->Loop();
  return 0;
}

void ReloadWorker::RequestReload(const FixedEntries& fixed) {
  {
    Locked l(lock_);
    fixed_ = fixed;
    reloadAsked_ = true;
  }
  SetEvent(wake_.get());
}

void ReloadWorker::RequestFigures() {
  {
    Locked l(lock_);
    figuresAsked_ = true;
  }
  SetEvent(wake_.get());
}

std::unique_ptr<ReloadWorker::Result> ReloadWorker::Take() {
  Locked l(lock_);
  if (done_.empty()) return nullptr;
  std::unique_ptr<Result> r = std::move(done_.front());
  done_.pop_front();
  return r;
}

void ReloadWorker::Acknowledge() {
  {
    Locked l(lock_);
    reloadOpen_ = false;
  }
  SetEvent(wake_.get());
}

bool ReloadWorker::Reloading() {
  Locked l(lock_);
  return reloadAsked_ || reloadOpen_;
}

void ReloadWorker::Stop() {
  if (!thread_) return;
  InterlockedExchange(const_cast<LONG*>(&stop_), 1);
  SetEvent(wake_.get());
  // Bounded by the job's own waits: each title request has its timeout and
  // none is made once stopping.
  WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
}

ReloadWorker::Job ReloadWorker::NextJob() {
  Locked l(lock_);
  if (stop_) return Job::None;
  // A reload waits until the window has taken the last one's icons.
  if (reloadAsked_ && !reloadOpen_) {
    reloadAsked_ = false;
    reloadOpen_ = true;
    return Job::Reload;
  }
  if (figuresAsked_) {
    figuresAsked_ = false;
    return Job::Figures;
  }
  return Job::None;
}

void ReloadWorker::Loop() {
  while (!stop_) {
    WaitForSingleObject(wake_.get(), INFINITE);
    for (Job job = NextJob(); job != Job::None && !stop_; job = NextJob()) {
      if (job == Job::Reload)
        DoReload();
      else
        DoFigures();
    }
  }
}

void ReloadWorker::Post(std::unique_ptr<Result> r) {
  {
    Locked l(lock_);
    done_.push_back(std::move(r));
  }
  PostMessageA(window_, message_, 0, 0);
}

bool ReloadWorker::ReadFigures() {
  return ntFamily_ && reader_.Read(sampler_);
}

void ReloadWorker::DoReload() {
  FixedEntries fixed;
  {
    Locked l(lock_);
    fixed = fixed_;
  }
  // One reading of the system's process list names the processes to list
  // and gives their figures: under Wine, EnumProcesses reads that whole list
  // again, and more than once while it grows its room.
  const bool first = !sampler_.HasReading();
  std::vector<DWORD> ids;
  const bool read = ReadFigures();
  if (read)
    for (uint32_t id : reader_.ProcessIds()) ids.push_back(id);
  facts_.NextReload();
  const FileResolver cached = CachedResolver(facts_);
  // Once stopping, no more files are read.
  const FileResolver resolve = [&](const ReportedPath& path) {
    return stop_ ? FileFacts{} : cached(path);
  };
  Snapshot s = TakeProcesses(fixed, resolve, &paths_, &stop_, read ? &ids : nullptr);
  // The first shares then cover the snapshot's time, not nothing.
  if (first) ReadFigures();
  auto processes = std::make_unique<Result>();
  processes->part = Part::Processes;
  processes->snapshot.ProcessLines = std::move(s.ProcessLines);
  processes->snapshot.ProcessIcons = std::move(s.ProcessIcons);
  processes->snapshot.ProcessNames = std::move(s.ProcessNames);
  processes->snapshot.CreationTimes = std::move(s.CreationTimes);
  processes->snapshot.Files = std::move(s.Files);
  processes->figures = sampler_;
  Post(std::move(processes));
  AddApplications(s, &stop_);
  auto applications = std::make_unique<Result>();
  applications->part = Part::Applications;
  applications->snapshot.ApplicationLines = std::move(s.ApplicationLines);
  applications->snapshot.ApplicationIcons = std::move(s.ApplicationIcons);
  applications->snapshot.ApplicationNames = std::move(s.ApplicationNames);
  applications->snapshot.ApplicationWindows = std::move(s.ApplicationWindows);
  Post(std::move(applications));
}

void ReloadWorker::DoFigures() {
  ReadFigures();
  auto r = std::make_unique<Result>();
  r->part = Part::Figures;
  r->figures = sampler_;
  Post(std::move(r));
}

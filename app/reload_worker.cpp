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

volatile LONG g_threadsRunning = 0;

}  // namespace

// Everything the thread reads into and hands over: shared by the worker and
// its thread, so that a thread left behind by Stop still owns what it uses.
class ReloadWorker::Job {
 public:
  Job(HWND window, UINT message)
      : window_(window), message_(message), ntFamily_(PlatformId() == VER_PLATFORM_WIN32_NT) {}

  bool MakeWake() {
    wake_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    return static_cast<bool>(wake_);
  }
  void RequestReload(const FixedEntries& fixed) {
    {
      Locked l(lock_);
      fixed_ = fixed;
      reloadAsked_ = true;
    }
    SetEvent(wake_.get());
  }
  void RequestFigures() {
    {
      Locked l(lock_);
      figuresAsked_ = true;
    }
    SetEvent(wake_.get());
  }
  std::unique_ptr<Result> Take() {
    Locked l(lock_);
    if (done_.empty()) return nullptr;
    std::unique_ptr<Result> r = std::move(done_.front());
    done_.pop_front();
    return r;
  }
  void Acknowledge() {
    {
      Locked l(lock_);
      reloadOpen_ = false;
    }
    SetEvent(wake_.get());
  }
  bool Reloading() {
    Locked l(lock_);
    return reloadAsked_ || reloadOpen_;
  }
  void Stop() {
    InterlockedExchange(&stop_, 1);
    SetEvent(wake_.get());
  }
  void Loop();

 private:
  enum class Kind { None, Reload, Figures };
  Kind Next();
  void DoReload();
  void DoFigures();
  void Post(std::unique_ptr<Result> r);
  bool ReadFigures() { return ntFamily_ && reader_.Read(sampler_); }

  const HWND window_;  // borrowed; only posted to, and never once stopped
  const UINT message_;
  CriticalSection lock_;
  base::UniqueHandle wake_;  // auto-reset: there is work, or the worker is to stop
  volatile LONG stop_ = 0;
  // Under lock_.
  FixedEntries fixed_{};  // of the last reload asked for
  bool reloadAsked_ = false, figuresAsked_ = false, reloadOpen_ = false;
  std::deque<std::unique_ptr<Result>> done_;
  // The thread's own.
  ResolveCache facts_;
  ImagePathMemory paths_;
  FigureSampler sampler_;
  FigureReader reader_;
  const bool ntFamily_;
};

ReloadWorker::ReloadWorker(HWND window, UINT message)
    : job_(std::make_shared<Job>(window, message)) {}

ReloadWorker::~ReloadWorker() { Stop(); }

bool ReloadWorker::Start() {
  if (!job_->MakeWake()) return false;
  // The thread's own reference, released by the thread as it ends.
  auto* held = new std::shared_ptr<Job>(job_);
  InterlockedIncrement(&g_threadsRunning);
  DWORD id = 0;
  thread_.reset(CreateThread(nullptr, 0, Run, held, 0, &id));
  if (thread_) return true;
  InterlockedDecrement(&g_threadsRunning);
  delete held;
  return false;
}

DWORD WINAPI ReloadWorker::Run(void* held) {
  {
    std::unique_ptr<std::shared_ptr<Job>> job(static_cast<std::shared_ptr<Job>*>(held));
    (*job)->Loop();
  }
  InterlockedDecrement(&g_threadsRunning);
  return 0;
}

LONG ReloadWorker::ThreadsRunning() { return InterlockedCompareExchange(&g_threadsRunning, 0, 0); }

void ReloadWorker::RequestReload(const FixedEntries& fixed) { job_->RequestReload(fixed); }
void ReloadWorker::RequestFigures() { job_->RequestFigures(); }
std::unique_ptr<ReloadWorker::Result> ReloadWorker::Take() { return job_->Take(); }
void ReloadWorker::Acknowledge() { job_->Acknowledge(); }
bool ReloadWorker::Reloading() { return job_->Reloading(); }

void ReloadWorker::Stop() {
  if (!thread_) return;
  job_->Stop();
  // Each title request has its timeout and none is made once stopping; a
  // file or system call that hangs is not waited for past the bound.
  WaitForSingleObject(thread_.get(), kStopWaitMs);
  thread_.reset();
}

ReloadWorker::Job::Kind ReloadWorker::Job::Next() {
  Locked l(lock_);
  if (stop_) return Kind::None;
  // A reload waits until the window has taken the last one's icons.
  if (reloadAsked_ && !reloadOpen_) {
    reloadAsked_ = false;
    reloadOpen_ = true;
    return Kind::Reload;
  }
  if (figuresAsked_) {
    figuresAsked_ = false;
    return Kind::Figures;
  }
  return Kind::None;
}

void ReloadWorker::Job::Loop() {
  while (!stop_) {
    WaitForSingleObject(wake_.get(), INFINITE);
    for (Kind k = Next(); k != Kind::None && !stop_; k = Next()) {
      if (k == Kind::Reload)
        DoReload();
      else
        DoFigures();
    }
  }
}

void ReloadWorker::Job::Post(std::unique_ptr<Result> r) {
  {
    Locked l(lock_);
    // Once stopped the window may be gone: nothing is handed to it.
    if (stop_) return;
    done_.push_back(std::move(r));
  }
  PostMessageA(window_, message_, 0, 0);
}

void ReloadWorker::Job::DoReload() {
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

void ReloadWorker::Job::DoFigures() {
  ReadFigures();
  auto r = std::make_unique<Result>();
  r->part = Part::Figures;
  r->figures = sampler_;
  Post(std::move(r));
}

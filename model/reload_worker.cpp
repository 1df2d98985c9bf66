#include "model/reload_worker.h"

#include <utility>

#include "base/lock.h"


namespace {

using base::CriticalSection;
using base::Locked;

volatile LONG g_threadsRunning = 0;

}  // namespace

// Everything the thread reads into and hands over: shared by the worker and
// its thread, so that a thread left behind by Stop still owns what it uses.
class ReloadWorker::Shared {
 public:
  Shared(HWND window, UINT message) : window_(window), message_(message) {}

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
  std::unique_ptr<ReloadPart> Take() {
    Locked l(lock_);
    if (done_.empty()) return nullptr;
    std::unique_ptr<ReloadPart> r = std::move(done_.front());
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
  void Post(std::unique_ptr<ReloadPart> r);

  const HWND window_;  // borrowed; only posted to, and never once stopped
  const UINT message_;
  CriticalSection lock_;
  base::UniqueHandle wake_;  // auto-reset: there is work, or the worker is to stop
  volatile LONG stop_ = 0;
  // Under lock_.
  FixedEntries fixed_{};  // of the last reload asked for
  bool reloadAsked_ = false, figuresAsked_ = false, reloadOpen_ = false;
  std::deque<std::unique_ptr<ReloadPart>> done_;
  ReloadJob job_;  // the thread's own
};

ReloadWorker::ReloadWorker(HWND window, UINT message)
    : shared_(std::make_shared<Shared>(window, message)) {}

ReloadWorker::~ReloadWorker() { Stop(); }

bool ReloadWorker::Start() {
  if (!shared_->MakeWake()) return false;
  // The thread's own reference, released by the thread as it ends.
  auto* held = new std::shared_ptr<Shared>(shared_);
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
    std::unique_ptr<std::shared_ptr<Shared>> job(static_cast<std::shared_ptr<Shared>*>(held));
    (*job)->Loop();
  }
  InterlockedDecrement(&g_threadsRunning);
  return 0;
}

LONG ReloadWorker::ThreadsRunning() { return InterlockedCompareExchange(&g_threadsRunning, 0, 0); }

void ReloadWorker::RequestReload(const FixedEntries& fixed) { shared_->RequestReload(fixed); }
void ReloadWorker::RequestFigures() { shared_->RequestFigures(); }
std::unique_ptr<ReloadPart> ReloadWorker::Take() { return shared_->Take(); }
void ReloadWorker::Acknowledge() { shared_->Acknowledge(); }
bool ReloadWorker::Reloading() { return shared_->Reloading(); }

void ReloadWorker::Stop() {
  if (!thread_) return;
  shared_->Stop();
  // Each title request has its timeout and none is made once stopping; a
  // file or system call that hangs is not waited for past the bound.
  WaitForSingleObject(thread_.get(), kStopWaitMs);
  thread_.reset();
}

ReloadWorker::Shared::Kind ReloadWorker::Shared::Next() {
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

void ReloadWorker::Shared::Loop() {
  const ReloadJob::Deliver post = [this](std::unique_ptr<ReloadPart> part) { Post(std::move(part)); };
  while (!stop_) {
    WaitForSingleObject(wake_.get(), INFINITE);
    for (Kind k = Next(); k != Kind::None && !stop_; k = Next()) {
      if (k == Kind::Reload) {
        FixedEntries fixed;
        {
          Locked l(lock_);
          fixed = fixed_;
        }
        job_.Reload(fixed, &stop_, post);
      } else {
        job_.Figures(post);
      }
    }
  }
}

void ReloadWorker::Shared::Post(std::unique_ptr<ReloadPart> r) {
  {
    Locked l(lock_);
    // Once stopped the window may be gone: nothing is handed to it.
    if (stop_) return;
    done_.push_back(std::move(r));
  }
  PostMessageA(window_, message_, 0, 0);
}

// A read for the details window, run off the window's thread: what it reads
// is made there and posted to the window. The window never waits for a
// process's memory, its loader list, an account's name or a slow file; a read
// asked for again replaces the one under way, which is stopped and posts
// nothing more.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

#include "base/handles.h"

namespace details_read {

// What a thread shares with its starter: the stop flag, the done flag and
// the result's room, kept alive by both.
struct Shared {
  HWND window = nullptr;  // borrowed; posted to only while not stopped
  UINT message = 0;
  volatile LONG stop = 0;
  volatile LONG done = 0;  // the result is written before it is set, and never after
  std::function<void(const volatile LONG* stop)> job;
};

// Runs `shared`'s job on a thread of its own; null when none could be made.
base::UniqueHandle StartThread(const std::shared_ptr<Shared>& shared);
// Stops the read under way and waits for its thread at most 2 s: a read
// stuck in a file is left to end on its own, posting nothing.
void StopThread(const std::shared_ptr<Shared>& shared, base::UniqueHandle& thread);

}  // namespace details_read

template <typename Result>
class BackgroundRead {
 public:
  BackgroundRead() = default;
  ~BackgroundRead() { Stop(); }
  BackgroundRead(const BackgroundRead&) = delete;
  BackgroundRead& operator=(const BackgroundRead&) = delete;

  // Runs `read` (asked to stop through its argument), then posts `message`
  // to `window`; where no thread can be made it runs here and posts as well.
  void Start(HWND window, UINT message, std::function<Result(const volatile LONG* stop)> read) {
    Stop();
    auto shared = std::make_shared<details_read::Shared>();
    auto result = std::make_shared<Result>();
    shared->window = window;
    shared->message = message;
    shared->job = [result, read = std::move(read)](const volatile LONG* stop) { *result = read(stop); };
    shared_ = shared;
    result_ = result;
    thread_ = details_read::StartThread(shared_);
    if (thread_) return;
    shared_->job(&shared_->stop);
    InterlockedExchange(&shared_->done, 1);
    PostMessageA(window, message, 0, 0);
  }
  // The result of the read that posted; false while none has finished.
  bool Take(Result& out) {
    if (!shared_ || !InterlockedCompareExchange(&shared_->done, 0, 0)) return false;
    out = std::move(*result_);
    shared_.reset();
    result_.reset();
    return true;
  }
  void Stop() {
    details_read::StopThread(shared_, thread_);
    shared_.reset();
    result_.reset();
  }

 private:
  std::shared_ptr<details_read::Shared> shared_;  // the one under way or finished last
  std::shared_ptr<Result> result_;
  base::UniqueHandle thread_;
};

#include "app/details/background_read.h"

namespace details_read {

namespace {

DWORD WINAPI Run(void* held) {
  // The thread's own reference, released as it ends.
  std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(held));
  Shared& s = **owned;
  s.job(&s.stop);
  InterlockedExchange(&s.done, 1);
  // Once stopped the window may be gone: nothing is posted to it.
  if (!s.stop) PostMessageA(s.window, s.message, 0, 0);
  return 0;
}

}  // namespace

base::UniqueHandle StartThread(const std::shared_ptr<Shared>& shared) {
  auto* held = new std::shared_ptr<Shared>(shared);
  DWORD id = 0;
  base::UniqueHandle thread(CreateThread(nullptr, 0, Run, held, 0, &id));
  if (!thread) delete held;
  return thread;
}

void StopThread(const std::shared_ptr<Shared>& shared, base::UniqueHandle& thread) {
  if (shared) InterlockedExchange(&shared->stop, 1);
  if (thread) WaitForSingleObject(thread.get(), 2000);
  thread.reset();
}

}  // namespace details_read

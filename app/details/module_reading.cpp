#include "app/details/module_reading.h"

#include <utility>

struct ModuleReading::Read {
  DWORD pid = 0;
  int bits = 0;
  HWND window = nullptr;
  UINT message = 0;
  volatile LONG stop = 0;
  volatile LONG done = 0;  // rows are written before it is set, and never after
  std::wstring rows;
};

ModuleReading::~ModuleReading() { Stop(); }

bool ModuleReading::Start(HWND window, UINT message, DWORD pid, int bits) {
  Stop();
  read_ = std::make_shared<Read>();
  read_->pid = pid;
  read_->bits = bits;
  read_->window = window;
  read_->message = message;
  // The thread's own reference, released by the thread as it ends.
  auto* held = new std::shared_ptr<Read>(read_);
  DWORD id = 0;
  thread_.reset(CreateThread(nullptr, 0, Run, held, 0, &id));
  if (thread_) return true;
  delete held;
  return false;
}

DWORD WINAPI ModuleReading::Run(void* held) {
  std::unique_ptr<std::shared_ptr<Read>> owned(static_cast<std::shared_ptr<Read>*>(held));
  Read& r = **owned;
  r.rows = ReadModuleRows(r.pid, r.bits, &r.stop);
  InterlockedExchange(&r.done, 1);
  // Once stopped the window may be gone: nothing is posted to it.
  if (!r.stop) PostMessageA(r.window, r.message, 0, 0);
  return 0;
}

bool ModuleReading::Take(std::wstring& rows) {
  if (!read_ || !InterlockedCompareExchange(&read_->done, 0, 0)) return false;
  rows = std::move(read_->rows);
  read_.reset();
  return true;
}

void ModuleReading::Stop() {
  if (read_) InterlockedExchange(&read_->stop, 1);
  if (thread_) WaitForSingleObject(thread_.get(), 2000);
  thread_.reset();
  read_.reset();
}

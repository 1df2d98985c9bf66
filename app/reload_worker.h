// The reload and the live figures off the window's thread. One worker
// thread only reads the system (processes, paths, version information,
// icons, window titles, figures) and posts each finished part to the
// window; it never touches a window of this program. Plain Win32 threads,
// events and critical sections: they exist from Windows 95 and NT 3.1 on.
#pragma once
#include <windows.h>

#include <deque>
#include <memory>

#include "base/handles.h"
#include "procinfo/figure_reader.h"
#include "procinfo/figures.h"
#include "procinfo/snapshot.h"
#include "productinfo/resolve.h"

// A critical section with one owner.
class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&cs_); }
  ~CriticalSection() { DeleteCriticalSection(&cs_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  void Enter() { EnterCriticalSection(&cs_); }
  void Leave() { LeaveCriticalSection(&cs_); }

 private:
  CRITICAL_SECTION cs_;
};

class ReloadWorker {
 public:
  enum class Part { Processes, Applications, Figures };
  struct Result {
    Part part = Part::Figures;
    // Processes: the process lines, icons, names, times and files;
    // Applications: the application lines.
    Snapshot snapshot;
    FigureSampler figures;  // the reading taken with it (not with Applications)
  };

  // Each finished part posts `message` to `window`. The icons a part holds
  // are the worker's: valid until Acknowledge follows the Applications part.
  ReloadWorker(HWND window, UINT message);
  ~ReloadWorker();  // Stop
  ReloadWorker(const ReloadWorker&) = delete;
  ReloadWorker& operator=(const ReloadWorker&) = delete;
  bool Start();  // false when the thread cannot be made

  // A reload asked for during another is coalesced into one more. The
  // icons `fixed` borrows stay valid until its parts are acknowledged.
  void RequestReload(const FixedEntries& fixed);
  void RequestFigures();
  // The finished parts in order; null when none waits.
  std::unique_ptr<Result> Take();
  // The window has made its entries of the last reload's parts.
  void Acknowledge();
  // A reload asked for, running, or its parts not all acknowledged.
  bool Reloading();
  // Ends the running job early (titles from the text the system keeps, no
  // more processes read) and waits for the thread to end.
  void Stop();

 private:
  enum class Job { None, Reload, Figures };
  static DWORD WINAPI Run(void* self);
  void Loop();
  Job NextJob();
  void DoReload();
  void DoFigures();
  void Post(std::unique_ptr<Result> r);
  bool ReadFigures();

  const HWND window_;  // borrowed; only posted to
  const UINT message_;
  CriticalSection lock_;
  base::UniqueHandle wake_;  // auto-reset: there is work, or the worker is to stop
  base::UniqueHandle thread_;
  volatile LONG stop_ = 0;
  // Under lock_.
  FixedEntries fixed_{};  // of the last reload asked for
  bool reloadAsked_ = false, figuresAsked_ = false, reloadOpen_ = false;
  std::deque<std::unique_ptr<Result>> done_;
  // The worker's own.
  ResolveCache facts_;
  ImagePathMemory paths_;
  FigureSampler sampler_;
  FigureReader reader_;
  const bool ntFamily_;
};

// The reload and the live figures off the window's thread. One worker
// thread runs the reload job, which only reads the system (processes,
// paths, version information, icons, window titles, figures), and posts
// each finished part to the window; it never touches a window of this program. Plain Win32 threads,
// events and critical sections: they exist from Windows 95 and NT 3.1 on.
#pragma once
#include <windows.h>

#include <deque>
#include <memory>

#include "model/reload_job.h"
#include "base/handles.h"

class ReloadWorker {
 public:
  // How long closing waits for a job under way (a file on a share that no
  // longer answers, a system call that hangs) before it goes without it.
  static constexpr DWORD kStopWaitMs = 2000;

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
  std::unique_ptr<ReloadPart> Take();
  // The window has made its entries of the last reload's parts.
  void Acknowledge();
  // A reload asked for, running, or its parts not all acknowledged.
  bool Reloading();
  // Ends the running job early (titles from the text the system keeps, no
  // more processes read, nothing more posted) and waits up to kStopWaitMs
  // for the thread. A thread stuck in a system call is left to end on its
  // own: it holds the state it reads into, and posts nothing once stopped.
  void Stop();
  // Worker threads of the program still running, stopped or not.
  static LONG ThreadsRunning();

 private:
  class Shared;
  static DWORD WINAPI Run(void* shared);

  std::shared_ptr<Shared> shared_;  // shared with the thread while it runs
  base::UniqueHandle thread_;
};

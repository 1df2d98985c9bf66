// Reading window titles of other processes with a bound on the total wait.
// Each window gets WM_GETTEXT with a short timeout while the budget lasts;
// once the time spent waiting reaches the budget, titles come from the text
// the system keeps for each window, without sending anything.
#pragma once
#include <windows.h>

#include <string>

class TitleBudget {
 public:
  static constexpr DWORD kDefaultMs = 1000;  // one reload or one selection
  static constexpr DWORD kPerWindowMs = 100;

  explicit TitleBudget(DWORD totalMs = kDefaultMs) : total_(totalMs) {}
  TitleBudget(const TitleBudget&) = delete;
  TitleBudget& operator=(const TitleBudget&) = delete;

  // The title as WM_GETTEXT gives it (at most 254 bytes of code page 932,
  // or 254 units where that code page cannot hold it), or the kept text. On
  // the NT family it is read in UTF-16, on the 9x family in code page 932.
  // A window of this process owned by another thread (the reload's worker
  // reading the window's own) gives its kept text: nothing is sent to it.
  std::wstring TitleOf(HWND window);
  bool Spent() const { return spent_ >= total_ || (stop_ && *stop_); }
  // Spent as soon as `*stop` is set (by another thread).
  void StopWhen(const volatile LONG* stop) { stop_ = stop; }
  // Whether the window answers WM_NULL within kPerWindowMs (less when less
  // of the budget is left); true unasked once the budget is spent.
  bool Answers(HWND window);

 private:
  DWORD total_;
  DWORD spent_ = 0;
  const volatile LONG* stop_ = nullptr;
};

// The text the system keeps for a window, read without sending a message
// (InternalGetWindowText where the system has it), cut as WM_GETTEXT cuts.
std::wstring KeptWindowText(HWND window);

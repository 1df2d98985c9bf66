#include "procinfo/title_budget.h"

#include <algorithm>
#include <cstring>

#include "base/shown_text.h"
#include "ui/text_calls.h"

namespace {

constexpr int kTitleRoom = 255;  // bytes with the terminating NUL, as WM_GETTEXT is asked

using InternalGetWindowTextFn = int(WINAPI*)(HWND, LPWSTR, int);

// Bound at run time: the 9x family does not have it.
InternalGetWindowTextFn BoundInternalGetWindowText() {
  static const InternalGetWindowTextFn f = [] {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<InternalGetWindowTextFn>(reinterpret_cast<void*>(
                      GetProcAddress(user, "InternalGetWindowText")))
                : nullptr;
  }();
  return f;
}

// A title read in UTF-16 (at most kTitleRoom - 1 units, never half a
// surrogate pair). One that code page 932 holds is cut as an ANSI
// WM_GETTEXT cuts it, in bytes; any other stays in its units.
std::wstring WholeTitle(std::wstring_view wide) {
  wide = CutUnits(wide, kTitleRoom - 1);
  if (!TrueFormOf(wide).empty()) return std::wstring(wide);
  std::string shown = ShownText(wide);
  CutText(shown, kTitleRoom - 1);
  return WideText(shown);
}

}  // namespace

std::wstring KeptWindowText(HWND w) {
  if (InternalGetWindowTextFn internal = BoundInternalGetWindowText()) {
    wchar_t wide[kTitleRoom + 1] = {};
    const int n = internal(w, wide, kTitleRoom);
    if (n <= 0) return {};
    return WholeTitle(std::wstring_view(wide, static_cast<size_t>(n)));
  }
  // Another process's window: GetWindowTextA reads the kept text and sends nothing.
  char buf[kTitleRoom + 1] = {};
  GetWindowTextA(w, buf, kTitleRoom);
  return WideText(buf);
}

std::wstring TitleBudget::TitleOf(HWND w) {
  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(w, &pid);
  const bool oursElsewhere = pid == GetCurrentProcessId() && thread != GetCurrentThreadId();
  if (Spent() || oursElsewhere) return KeptWindowText(w);
  const UINT flags = SMTO_ABORTIFHUNG | SMTO_BLOCK;
  const DWORD wait = std::min(kPerWindowMs, total_ - spent_);
  const DWORD start = GetTickCount();
  std::wstring title;
  const bool answered = ui::TitleWithin(w, kTitleRoom, flags, wait, title);
  spent_ = std::min(total_, spent_ + (GetTickCount() - start));
  return answered ? WholeTitle(title) : KeptWindowText(w);
}

bool TitleBudget::Answers(HWND w) {
  if (Spent()) return true;
  const DWORD start = GetTickCount();
  DWORD_PTR result = 0;
  const BOOL answered = SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                            std::min(kPerWindowMs, total_ - spent_), &result);
  spent_ = std::min(total_, spent_ + (GetTickCount() - start));
  return answered != FALSE;
}

#include "procinfo/title_budget.h"

#include <algorithm>
#include <cstring>

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

// Cuts ANSI text to what fits in `room` bytes with its NUL, never inside a
// double-byte character.
std::string CutToRoom(const std::string& text, int room) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t next = end + (IsDBCSLeadByte(static_cast<BYTE>(text[end])) ? 2 : 1);
    if (next > static_cast<size_t>(room - 1) || next > text.size()) break;
    end = next;
  }
  return text.substr(0, end);
}

}  // namespace

std::string KeptWindowText(HWND w) {
  if (InternalGetWindowTextFn internal = BoundInternalGetWindowText()) {
    wchar_t wide[kTitleRoom + 1] = {};
    const int n = internal(w, wide, kTitleRoom);
    if (n <= 0) return {};
    char ansi[kTitleRoom * 2 + 1] = {};
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, std::min(n, kTitleRoom - 1), ansi,
                                          sizeof ansi - 1, nullptr, nullptr);
    return CutToRoom(std::string(ansi, static_cast<size_t>(std::max(bytes, 0))), kTitleRoom);
  }
  // Another process's window: GetWindowTextA reads the kept text and sends nothing.
  char buf[kTitleRoom + 1] = {};
  GetWindowTextA(w, buf, kTitleRoom);
  return buf;
}

std::string TitleBudget::TitleOf(HWND w) {
  if (Spent()) return KeptWindowText(w);
  char buf[kTitleRoom + 1] = {};
  DWORD_PTR copied = 0;
  const DWORD start = GetTickCount();
  const BOOL answered = SendMessageTimeoutA(w, WM_GETTEXT, kTitleRoom, reinterpret_cast<LPARAM>(buf),
                                            SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                            std::min(kPerWindowMs, total_ - spent_), &copied);
  spent_ = std::min(total_, spent_ + (GetTickCount() - start));
  if (answered) {
    buf[kTitleRoom] = '\0';
    return buf;
  }
  return KeptWindowText(w);
}

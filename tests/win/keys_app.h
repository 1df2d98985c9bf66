// What the keyboard tests share: the program as they start it, chords of
// real keys, and whose control has the focus.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "harness.h"

namespace keys {

// The program as the fixture starts it, with what these tests read of it.
struct KeysApp : harness::App {
  HWND List() const { return Ctl(kIdList); }
  int Count() const { return ListCount(); }
  std::string ShownId() const { return harness::TextOf(Ctl(kIdIdProcess)); }
  // A point on entry `index`, scrolled into view, on screen.
  POINT EntryPoint(int index) const { return ItemPoint(index); }
  bool Select(int index, DWORD pid) const { return SelectEntry(index, pid); }
  HWND OpenMenu() const {
    HWND m = harness::FindTopWindow(process.Id(), "#32768");
    return m && IsWindowVisible(m) ? m : nullptr;
  }
};

// Presses the keys in order and releases them in reverse: a chord.
inline void Chord(const std::vector<WORD>& keys) {
  std::vector<INPUT> in;
  for (WORD k : keys) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k;
    if (k == VK_INSERT) i.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    in.push_back(i);
  }
  for (size_t k = keys.size(); k-- > 0;) {
    INPUT i = in[k];
    i.ki.dwFlags |= KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// The keyboard focus of the thread that owns `w`.
inline HWND FocusOf(HWND w) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info);
  return info.hwndFocus;
}

// The process ID of entry `index`; 0 when there is no such entry.
inline DWORD EntryId(HWND list, int index) { return harness::IdAt(list, index); }

}  // namespace keys

#include "app/entry_sequence.h"

#include "app/start_lock.h"
#include "app/texts.h"
#include "productinfo/qorfunc.h"

namespace {

void Restore(HWND running) {
  SendMessageA(running, WM_SYSCOMMAND, SC_RESTORE, 0);
  // The application window is invisible: the main window it owns comes forward.
  SetForegroundWindow(GetLastActivePopup(running));
}

}  // namespace

const EntryApi& SystemEntryApi() {
  static const EntryApi api{::GlobalFindAtomA, ::GlobalAddAtomA, ::GlobalDeleteAtom,
                            ::FindWindowA, ::MessageBoxA};
  return api;
}

std::string MarkerName(const std::string& exePath) {
  return exePath.substr(FileNameStart(exePath, SystemTextEnv()));
}

int RunEntrySequence(const EntryApi& api, const std::string& exePath,
                     const MainWindowRunner& runMainWindow) {
  const std::string name = MarkerName(exePath);
  StartLock lock(name);  // the marker check and its registration are one step
  const bool marked = api.GlobalFindAtomA(name.c_str()) != 0;
  HWND running = marked ? api.FindWindowA(nullptr, texts::kAppTitle) : nullptr;
  if (!lock.Held()) {
    // A copy has been starting for longer than the wait: it is the one.
    if (running) Restore(running);
    return 0;
  }
  if (running) {
    lock.Release();  // before a message the running copy has to answer
    Restore(running);
    return 0;
  }
  // A marker without a window, seen under the lock, was left by a copy that
  // did not end normally or is closing: this copy takes it over with a
  // reference of its own, so that neither removes the other's.
  const ATOM marker = api.GlobalAddAtomA(name.c_str());
  if (!marker) {
    lock.Release();
    api.MessageBoxA(nullptr, texts::kStartError, texts::kErrorCaption, MB_OK | MB_ICONERROR);
    return 1;
  }
  runMainWindow([&lock] { lock.Release(); });
  api.GlobalDeleteAtom(marker);
  return 0;
}

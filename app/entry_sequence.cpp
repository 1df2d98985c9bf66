#include "app/entry_sequence.h"

#include <optional>

#include "app/start_lock.h"
#include "app/texts.h"
#include "productinfo/qorfunc.h"
#include "ui/text_calls.h"

namespace {

// A copy's windows take seconds to go under Wine; starts wait for them.
constexpr DWORD kCloseWaitMs = 30000;

void Restore(HWND running) {
  SendMessageA(running, WM_SYSCOMMAND, SC_RESTORE, 0);
  // The application window is invisible: the main window it owns comes forward.
  SetForegroundWindow(GetLastActivePopup(running));
}

int StartFailed(const EntryApi& api) {
  api.MessageBoxA(nullptr, texts::kStartError, texts::kErrorCaption, MB_OK | MB_ICONERROR);
  return 1;
}

// This copy runs, holding `lock` until its main window is shown. `stale` is a
// marker seen under the lock without a window: the copy that left it was
// killed (a closing copy holds the lock until its marker is gone), so it is
// taken over as it is and removed at the close, never given a second reference.
int RunAsTheCopy(const EntryApi& api, const std::string& name, ATOM stale,
                 std::optional<StartLock>& lock, const MainWindowRunner& runMainWindow) {
  const ATOM marker = stale ? stale : api.GlobalAddAtomA(name.c_str());
  if (!marker) {
    lock.reset();
    return StartFailed(api);
  }
  const MainWindowHooks hooks{
      .shown = [&lock] { lock->Release(); },
      .closing = [&lock, &name] {
        if (!lock->Held()) lock.emplace(name, kCloseWaitMs, StartLock::Wait::kAnsweringSent);
      }};
  const bool ran = runMainWindow(hooks);
  hooks.closing();  // also when the windows went without a close
  api.GlobalDeleteAtom(marker);
  lock.reset();
  return ran ? 0 : StartFailed(api);
}

}  // namespace

const EntryApi& SystemEntryApi() {
  static const EntryApi api{::GlobalFindAtomA, ::GlobalAddAtomA, ::GlobalDeleteAtom,
                            ::FindWindowA, ui::MessageBox932};
  return api;
}

std::string MarkerName(const std::string& exePath) {
  return exePath.substr(FileNameStart(exePath, SystemTextEnv()));
}

int RunEntrySequence(const EntryApi& api, const std::string& exePath,
                     const MainWindowRunner& runMainWindow) {
  const std::string name = MarkerName(exePath);
  std::optional<StartLock> lock;
  for (bool handedOver = false;; handedOver = true) {
    lock.emplace(name);  // the marker check and its registration are one step
    const ATOM marker = api.GlobalFindAtomA(name.c_str());
    HWND running = marker ? api.FindWindowA(nullptr, texts::kAppTitle) : nullptr;
    if (!lock->Held()) {
      // A copy has been starting for longer than the wait: it is the one.
      if (running && !handedOver) Restore(running);
      return 0;
    }
    if (!running) return RunAsTheCopy(api, name, marker, lock, runMainWindow);
    if (handedOver) return 0;  // the copy handed over to kept its window
    lock->Release();  // before a message the running copy has to answer
    Restore(running);
    // It may have begun closing meanwhile: then it holds the lock until its
    // marker is gone, and the next look finds nothing and runs a copy.
  }
}

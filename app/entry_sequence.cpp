#include "app/entry_sequence.h"

#include <optional>

#include "app/app_window.h"
#include "app/start_lock.h"
#include "app/texts.h"
#include "base/path_text.h"
#include "base/shown_text.h"
#include "model/snapshot.h"
#include "productinfo/qorfunc.h"
#include "ui/text_calls.h"

namespace {

// A copy's windows take seconds to go under Wine; starts wait for them.
constexpr DWORD kCloseWaitMs = 30000;
// A copy that does not answer this soon is hung: the start ends all the same.
constexpr UINT kRestoreWaitMs = 5000;

void Restore(HWND running) {
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(running, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, kRestoreWaitMs,
                      &answer);
  // The application window is invisible: the main window it owns comes forward.
  SetForegroundWindow(GetLastActivePopup(running));
}

int StartFailed(const EntryApi& api) {
  api.ShowStartError(nullptr, texts::kStartError, texts::kErrorCaption, MB_OK | MB_ICONERROR);
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
      .closing = [&lock] {
        lock->Acquire(kCloseWaitMs, StartLock::Wait::kAnsweringSent);
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
                            FindRunningCopy, ui::MessageBox932};
  return api;
}

HWND FindRunningCopy(const std::string& markerName) {
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, kAppWindowClass, texts::kAppTitle));) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    const std::wstring image = ProcessImagePath(pid);
    if (!image.empty() &&
        FoldMarkerCase(ShownText(std::wstring_view(image).substr(WideFileNameStart(image)))) ==
            FoldMarkerCase(markerName))
      return w;
  }
  return nullptr;
}

std::string MarkerName(const std::string& exePath) {
  return exePath.substr(FileNameStart(exePath));
}

int RunEntrySequence(const EntryApi& api, const std::string& exePath,
                     const MainWindowRunner& runMainWindow) {
  const std::string name = MarkerName(exePath);
  std::optional<StartLock> lock;
  for (bool handedOver = false;; handedOver = true) {
    lock.emplace(name);  // the marker check and its registration are one step
    const ATOM marker = api.GlobalFindAtomA(name.c_str());
    HWND running = marker ? api.FindRunningCopy(name) : nullptr;
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

#include "app/entry_sequence.h"

#include "app/texts.h"
#include "productinfo/qorfunc.h"

const EntryApi& SystemEntryApi() {
  static const EntryApi api{::GlobalFindAtomA, ::GlobalAddAtomA, ::GlobalDeleteAtom,
                            ::FindWindowA, ::MessageBoxA};
  return api;
}

std::string MarkerName(const std::string& exePath) {
  return exePath.substr(FileNameStart(exePath, SystemTextEnv()));
}

int RunEntrySequence(const EntryApi& api, const std::string& exePath,
                     const std::function<void()>& runMainWindow) {
  const std::string name = MarkerName(exePath);
  ATOM marker = api.GlobalFindAtomA(name.c_str());
  if (marker) {
    if (HWND running = api.FindWindowA(nullptr, texts::kAppTitle)) {
      SendMessageA(running, WM_SYSCOMMAND, SC_RESTORE, 0);
      SetForegroundWindow(running);
      return 0;
    }
    // A marker without a window was left by a copy that did not end
    // normally: this copy takes it over.
  } else {
    marker = api.GlobalAddAtomA(name.c_str());
    if (!marker) {
      api.MessageBoxA(nullptr, texts::kStartError, texts::kErrorCaption, MB_OK | MB_ICONERROR);
      return 0;
    }
  }
  runMainWindow();
  api.GlobalDeleteAtom(marker);
  return 0;
}

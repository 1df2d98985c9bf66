// The entry sequence through its replaceable atom and message-box calls.
#include <gtest/gtest.h>

#include <thread>

#include "app/entry_sequence.h"
#include "app/start_lock.h"
#include "app/texts.h"
#include "harness.h"

namespace {
std::string g_text, g_caption;
UINT g_type;
int g_boxes;
}  // namespace

TEST(EntrySequence, MarkerIsTheFileNameAsReported) {
  EXPECT_EQ(MarkerName("C:\\Program Files\\Vorlane\\Vorlane.exe"), "Vorlane.exe");
  EXPECT_EQ(MarkerName("C:\\\x95\x5C\\Vorlane.EXE"), "Vorlane.EXE");
  EXPECT_EQ(MarkerName("C:\\dir\\\x83\x5C.exe"), "\x83\x5C.exe");
}

TEST(EntrySequence, AtomTableFullShowsTheStartErrorAndNoWindow) {
  EntryApi api = SystemEntryApi();
  api.GlobalFindAtomA = [](LPCSTR) WINAPI -> ATOM { return 0; };
  api.GlobalAddAtomA = [](LPCSTR) WINAPI -> ATOM { return 0; };
  api.ShowStartError = [](HWND, LPCSTR text, LPCSTR caption, UINT type) WINAPI -> int {
    g_text = text;
    g_caption = caption;
    g_type = type;
    ++g_boxes;
    return IDOK;
  };
  bool ran = false;
  EXPECT_NE(RunEntrySequence(api, "C:\\x\\Vorlane.exe", [&](auto&) { return ran = true; }), 0);
  EXPECT_FALSE(ran);
  EXPECT_EQ(g_boxes, 1);
  EXPECT_EQ(g_text, texts::kStartError);
  EXPECT_EQ(g_caption, texts::kErrorCaption);
  EXPECT_EQ(g_type, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

// The program's own start error box, read in wide form from another thread
// as a screen reader would: Japanese whatever the process's code page (the
// suite also runs in a process of code page 1252, wine.CodePage1252).
TEST(EntrySequence, StartErrorBoxReadsInJapanese) {
  std::wstring caption, text;
  std::thread reader([&] {
    HWND box = nullptr;
    wchar_t buf[256] = {};
    if (!harness::WaitFor([&] { return (box = FindWindowW(L"#32770", nullptr)) != nullptr; })) return;
    GetWindowTextW(box, buf, 256);
    caption = buf;
    GetWindowTextW(GetDlgItem(box, 0xFFFF), buf, 256);
    text = buf;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  SystemEntryApi().ShowStartError(nullptr, texts::kStartError, texts::kErrorCaption, MB_OK | MB_ICONERROR);
  reader.join();
  EXPECT_EQ(caption, L"エラー") << "code page " << GetACP();
  EXPECT_EQ(text, L"起動できません") << "code page " << GetACP();
}

TEST(EntrySequence, StaleMarkerIsTakenOverAsItIsAndGoneAfterTheClose) {
  const char* name = "VorlaneStaleProbe.exe";
  ATOM stale = GlobalAddAtomA(name);  // left by a killed copy
  ASSERT_NE(stale, 0);
  bool ran = false;
  EXPECT_EQ(RunEntrySequence(SystemEntryApi(), std::string("C:\\d\\") + name,
                             [&](const MainWindowHooks& hooks) {
                               hooks.shown();
                               return ran = GlobalFindAtomA(name) == stale;
                             }),
            0);
  EXPECT_TRUE(ran);
  EXPECT_EQ(GlobalFindAtomA(name), 0) << "a reference of the killed copy's marker stays";
  while (GlobalFindAtomA(name)) GlobalDeleteAtom(GlobalFindAtomA(name));
}

TEST(EntrySequence, WindowsThatCannotBeMadeEndWithTheStartErrorAndNoMarker) {
  EntryApi api = SystemEntryApi();
  api.ShowStartError = [](HWND, LPCSTR text, LPCSTR, UINT) WINAPI -> int {
    g_text = text;
    return IDOK;
  };
  g_text.clear();
  EXPECT_EQ(RunEntrySequence(api, "C:\\d\\VorlaneNoWindow.exe", [](auto&) { return false; }), 1);
  EXPECT_EQ(g_text, texts::kStartError);
  EXPECT_EQ(GlobalFindAtomA("VorlaneNoWindow.exe"), 0);
}

namespace {
bool (*g_lockedElsewhere)();
std::vector<bool>* g_seen;
}  // namespace

TEST(EntrySequence, TheStartLockIsHeldUntilShownAndFromClosingUntilTheMarkerIsGone) {
  static const std::string name = "VorlaneLockProbe.exe";
  static auto lockedElsewhere = [] {
    // Another process would wait: seen from here, the mutex is not signalled.
    HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, StartLockName(name).c_str());
    if (!m) return false;
    DWORD r = WAIT_FAILED;
    std::thread([&] { r = WaitForSingleObject(m, 0); if (r == WAIT_OBJECT_0) ReleaseMutex(m); }).join();
    CloseHandle(m);
    return r == WAIT_TIMEOUT;
  };
  std::vector<bool> seen;
  g_seen = &seen;
  g_lockedElsewhere = [] { return lockedElsewhere(); };
  EntryApi api = SystemEntryApi();
  api.GlobalDeleteAtom = [](ATOM a) WINAPI -> ATOM {
    g_seen->push_back(g_lockedElsewhere());  // the marker goes under the lock
    return GlobalDeleteAtom(a);
  };
  EXPECT_EQ(RunEntrySequence(api, "C:\\d\\" + name, [&](const MainWindowHooks& hooks) {
    seen.push_back(lockedElsewhere());
    hooks.shown();
    seen.push_back(lockedElsewhere());
    hooks.closing();
    seen.push_back(lockedElsewhere());
    return true;
  }), 0);
  seen.push_back(lockedElsewhere());
  EXPECT_EQ(seen, (std::vector<bool>{true, false, true, true, false}));
  EXPECT_EQ(GlobalFindAtomA(name.c_str()), 0);
  EXPECT_NE(StartLockName("VORLANE.EXE"), StartLockName("Vorlane2.exe"));
  EXPECT_EQ(StartLockName("VORLANE.EXE"), StartLockName("vorlane.exe"));  // as atoms match
  EXPECT_NE(StartLockName("\x83\x61.exe"), StartLockName("\x83\x41.exe"));  // "ャ", "ア": trail bytes "a", "A"
}

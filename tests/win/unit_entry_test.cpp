// The entry sequence through its replaceable atom and message-box calls.
#include <gtest/gtest.h>

#include <thread>

#include "app/entry_sequence.h"
#include "app/start_lock.h"
#include "app/texts.h"

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
  api.MessageBoxA = [](HWND, LPCSTR text, LPCSTR caption, UINT type) WINAPI -> int {
    g_text = text;
    g_caption = caption;
    g_type = type;
    ++g_boxes;
    return IDOK;
  };
  bool ran = false;
  EXPECT_NE(RunEntrySequence(api, "C:\\x\\Vorlane.exe", [&](auto&) { ran = true; }), 0);
  EXPECT_FALSE(ran);
  EXPECT_EQ(g_boxes, 1);
  EXPECT_EQ(g_text, texts::kStartError);
  EXPECT_EQ(g_caption, texts::kErrorCaption);
  EXPECT_EQ(g_type, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

TEST(EntrySequence, StaleMarkerIsTakenOverWithAReferenceOfItsOwn) {
  const char* name = "VorlaneStaleProbe.exe";
  ATOM stale = GlobalAddAtomA(name);
  ASSERT_NE(stale, 0);
  bool ran = false;
  EXPECT_EQ(RunEntrySequence(SystemEntryApi(), std::string("C:\\d\\") + name,
                             [&](const std::function<void()>& shown) {
                               ran = true;
                               shown();
                               // The copy that left the marker closes: this one's stays.
                               GlobalDeleteAtom(stale);
                               EXPECT_EQ(GlobalFindAtomA(name), stale);
                             }),
            0);
  EXPECT_TRUE(ran);
  EXPECT_EQ(GlobalFindAtomA(name), 0);
}

TEST(EntrySequence, TheStartLockIsHeldUntilTheMainWindowIsShown) {
  const std::string name = "VorlaneLockProbe.exe";
  auto lockedElsewhere = [&] {
    // Another process would wait: seen from here, the mutex is not signalled.
    HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, StartLockName(name).c_str());
    if (!m) return false;
    DWORD r = WAIT_FAILED;
    std::thread([&] { r = WaitForSingleObject(m, 0); if (r == WAIT_OBJECT_0) ReleaseMutex(m); }).join();
    CloseHandle(m);
    return r == WAIT_TIMEOUT;
  };
  std::vector<bool> seen;
  RunEntrySequence(SystemEntryApi(), "C:\\d\\" + name, [&](const std::function<void()>& shown) {
    seen.push_back(lockedElsewhere());
    shown();
    seen.push_back(lockedElsewhere());
  });
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  EXPECT_NE(StartLockName("VORLANE.EXE"), StartLockName("Vorlane2.exe"));
  EXPECT_EQ(StartLockName("VORLANE.EXE"), StartLockName("vorlane.exe"));  // as atoms match
}

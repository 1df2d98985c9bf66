// The entry sequence through its replaceable atom and message-box calls.
#include <gtest/gtest.h>

#include "app/entry_sequence.h"
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
  EXPECT_EQ(RunEntrySequence(api, "C:\\x\\Vorlane.exe", [&] { ran = true; }), 0);
  EXPECT_FALSE(ran);
  EXPECT_EQ(g_boxes, 1);
  EXPECT_EQ(g_text, texts::kStartError);
  EXPECT_EQ(g_caption, texts::kErrorCaption);
  EXPECT_EQ(g_type, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

TEST(EntrySequence, StaleMarkerIsTakenOverAndRemoved) {
  const char* name = "VorlaneStaleProbe.exe";
  ATOM stale = GlobalAddAtomA(name);
  ASSERT_NE(stale, 0);
  bool ran = false;
  RunEntrySequence(SystemEntryApi(), std::string("C:\\d\\") + name, [&] {
    ran = true;
    EXPECT_EQ(GlobalFindAtomA(name), stale);
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(GlobalFindAtomA(name), 0);
}

// Collecting application windows from a helper process's real windows.
// The system enumerates the newest window first (top of the z-order).
#include <gtest/gtest.h>

#include "harness.h"
#include "procinfo/app_windows.h"

using Titles = std::vector<std::string>;

TEST(AppWindows, OnlyVisibleUnownedTitledWindowsInOrder) {
  harness::Process p = harness::StartHelper("catalog");
  ASSERT_TRUE(p.Running());
  const std::string longTitle(254, 'L');
  EXPECT_EQ(CollectWindowTitles(p.Id(), true),
            (Titles{"App C", "Twin", "Twin", longTitle, "App B", "App A"}));
  EXPECT_EQ(CollectWindowTitles(p.Id(), false),
            (Titles{"App C", "Desktop", "Twin", "Taskbar", "Twin", longTitle, "App B", "App A"}));
}

TEST(AppWindows, OnePassGivesEveryProcessItsOwnTitles) {
  harness::Process a = harness::StartHelper("windows 3 Alpha");
  harness::Process b = harness::StartHelper("catalog");
  auto all = CollectAllWindowTitles(true);
  for (DWORD pid : {a.Id(), b.Id(), GetCurrentProcessId()})
    EXPECT_EQ(all[pid], CollectWindowTitles(pid, true)) << pid;
  EXPECT_EQ(all[a.Id()], (Titles{"Alpha 3", "Alpha 2", "Alpha 1"}));
}

TEST(AppWindows, AWindowThatDoesNotAnswerDoesNotHoldUpTheCollection) {
  harness::Process p = harness::StartHelper("hang Stuck");
  const DWORD start = GetTickCount();
  Titles t = CollectWindowTitles(p.Id(), true);
  EXPECT_LT(GetTickCount() - start, 3000u);
  EXPECT_EQ(t, Titles{"Stuck"});
}

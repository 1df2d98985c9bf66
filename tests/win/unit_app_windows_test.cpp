// Collecting application windows from a helper process's real windows.
// The system enumerates the newest window first (top of the z-order).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

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

namespace {
// Where in `titles` the answers ("PREFIX i asked") are, as opposed to kept
// captions ("PREFIX i"); every window 1..size appears once, either way.
std::vector<size_t> Answers(const Titles& titles, const std::string& prefix) {
  const std::string suffix = " asked";
  std::vector<size_t> at;
  std::vector<int> seen(titles.size() + 1, 0);
  for (size_t i = 0; i < titles.size(); ++i) {
    std::string t = titles[i];
    if (t.size() > suffix.size() && t.compare(t.size() - suffix.size(), suffix.size(), suffix) == 0) {
      t.resize(t.size() - suffix.size());
      at.push_back(i);
    }
    EXPECT_EQ(t.rfind(prefix + " ", 0), 0u) << titles[i];
    const int n = std::atoi(t.c_str() + prefix.size() + 1);
    if (n >= 1 && n <= static_cast<int>(titles.size())) ++seen[static_cast<size_t>(n)];
  }
  EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), static_cast<long>(titles.size()));
  return at;
}
}  // namespace

TEST(AppWindows, SlowWindowsShareOneBudgetThenGiveTheirKeptCaptions) {
  // 60 windows answering after 60 ms: asking every one would take 3.6 s.
  harness::Process slow = harness::StartHelper("slow 60 60 Slow");
  TitleBudget budget;
  const std::vector<size_t> asked = Answers(CollectWindowTitles(slow.Id(), true, budget), "Slow");
  ASSERT_FALSE(asked.empty());  // a window that answers in time gives its answer
  // Each answer spent 60 ms of the budget: none is asked after it is gone.
  EXPECT_LT(asked.back(), TitleBudget::kDefaultMs / 60 + 1);
  EXPECT_TRUE(budget.Spent());
  EXPECT_TRUE(Answers(CollectWindowTitles(slow.Id(), true, budget), "Slow").empty());

  // 40 windows that take 2 s each: none answers within its 100 ms, and
  // together they hold the collection up for the budget only, not 4 s.
  harness::Process late = harness::StartHelper("slow 40 2000 Late");
  TitleBudget fresh;
  const DWORD start = GetTickCount();
  Titles titles = CollectAllWindowTitles(true, fresh)[late.Id()];
  const DWORD took = GetTickCount() - start;
  EXPECT_TRUE(Answers(titles, "Late").empty());
  EXPECT_EQ(titles.size(), 40u);
  EXPECT_LT(took, 2000u);
}

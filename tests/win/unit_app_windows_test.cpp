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
// How many of `titles` are answers ("PREFIX i asked") rather than kept
// captions ("PREFIX i"). Answers come first (the enumeration order), and
// every window 1..size appears once, either way.
size_t AnswersFirst(const Titles& titles, const std::string& prefix) {
  size_t asked = 0;
  std::vector<int> seen(titles.size() + 1, 0);
  for (size_t i = 0; i < titles.size(); ++i) {
    std::string t = titles[i];
    const std::string suffix = " asked";
    const bool answer = t.size() > suffix.size() && t.compare(t.size() - suffix.size(), suffix.size(), suffix) == 0;
    if (answer) t.resize(t.size() - suffix.size());
    if (answer) {
      EXPECT_EQ(asked++, i) << titles[i];  // no answer after a kept caption
    }
    EXPECT_EQ(t.rfind(prefix + " ", 0), 0u) << titles[i];
    const int n = std::atoi(t.c_str() + prefix.size() + 1);
    if (n >= 1 && n <= static_cast<int>(titles.size())) ++seen[static_cast<size_t>(n)];
  }
  EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), static_cast<long>(titles.size()));
  return asked;
}
}  // namespace

TEST(AppWindows, SlowWindowsShareOneBudgetThenGiveTheirKeptCaptions) {
  // 60 windows answering after 60 ms: asking every one would take 3.6 s.
  harness::Process slow = harness::StartHelper("slow 60 60 Slow");
  TitleBudget budget;
  const size_t asked = AnswersFirst(CollectWindowTitles(slow.Id(), true, budget), "Slow");
  EXPECT_GE(asked, 1u);  // a window that answers in time gives its answer
  EXPECT_LE(asked, TitleBudget::kDefaultMs / 60 + 1);  // each answer spent 60 ms of it
  EXPECT_TRUE(budget.Spent());
  EXPECT_EQ(AnswersFirst(CollectWindowTitles(slow.Id(), true, budget), "Slow"), 0u);

  // 40 windows that take 2 s each: none answers within its 100 ms, and
  // together they hold the collection up for the budget only, not 4 s.
  harness::Process late = harness::StartHelper("slow 40 2000 Late");
  TitleBudget fresh;
  const DWORD start = GetTickCount();
  Titles titles = CollectAllWindowTitles(true, fresh)[late.Id()];
  const DWORD took = GetTickCount() - start;
  EXPECT_EQ(AnswersFirst(titles, "Late"), 0u);
  EXPECT_EQ(titles.size(), 40u);
  EXPECT_LT(took, 2000u);
}

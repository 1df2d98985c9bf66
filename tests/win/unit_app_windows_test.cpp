// Collecting application windows from helper processes' real windows.
// The system enumerates the newest window first (top of the z-order).
#include <gtest/gtest.h>

#include <unordered_map>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "harness.h"
#include "procinfo/app_windows.h"
#include "procinfo/process_api.h"

#include <psapi.h>

using Titles = std::vector<std::wstring>;

namespace {

// The collection as it is defined, found the plain way: every top-level
// window of the system asked for its process, then the visibility, owner,
// class and title tests.
Titles Reference(DWORD pid, bool skipShellWindows) {
  Titles t;
  for (HWND w : harness::TopWindows(pid)) {
    if (GetWindow(w, GW_OWNER) || !IsWindowVisible(w)) continue;
    char cls[256] = {};
    wchar_t title[256] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (skipShellWindows && (!std::strcmp(cls, "Shell_TrayWnd") || !std::strcmp(cls, "Progman")))
      continue;
    GetWindowTextW(w, title, 255);
    if (title[0]) t.push_back(title);
  }
  return t;
}

// Brings the process's windows of these titles to the top, one after the other.
void StackOnTop(DWORD pid, std::initializer_list<const char*> titles) {
  for (const char* title : titles)
    for (HWND w : harness::TopWindows(pid))
      if (harness::TextOf(w) == title)
        SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The process table with the threads' listing refused, for one scope.
struct NoThreadListing {
  harness::SavedProcessApi saved;
  NoThreadListing() {
    Api().NtGetNextThread = [](HANDLE, HANDLE, ACCESS_MASK, ULONG, ULONG, PHANDLE) WINAPI -> LONG {
      return static_cast<LONG>(0xC0000002);  // not implemented, as before Vista
    };
  }
};

std::vector<DWORD> AllProcessIds() {
  DWORD ids[4096], bytes = 0;
  EnumProcesses(ids, sizeof ids, &bytes);
  return std::vector<DWORD>(ids, ids + bytes / sizeof(DWORD));
}

}  // namespace

TEST(AppWindows, OnlyVisibleUnownedTitledWindowsInOrder) {
  harness::Process p = harness::StartHelper("catalog");
  ASSERT_TRUE(p.Running());
  const std::wstring longTitle(254, L'L');
  EXPECT_EQ(CollectWindowTitles(p.Id(), true),
            (Titles{L"App C", L"Twin", L"Twin", longTitle, L"App B", L"App A"}));
  EXPECT_EQ(CollectWindowTitles(p.Id(), false),
            (Titles{L"App C", L"Desktop", L"Twin", L"Taskbar", L"Twin", longTitle, L"App B", L"App A"}));
}

TEST(AppWindows, WindowsOfSeveralThreadsKeepTheSystemsOrder) {
  harness::Process threads = harness::StartHelper("threads");
  harness::Process catalog = harness::StartHelper("catalog");
  ASSERT_TRUE(threads.Running());
  StackOnTop(threads.Id(), {"Second 1", "First 1", "Second 2", "First 2"});
  const std::vector<DWORD> ids = AllProcessIds();
  ASSERT_GE(ids.size(), 5u);
  auto check = [&] {
    EXPECT_EQ(CollectWindowTitles(threads.Id(), true),
              (Titles{L"First 2", L"Second 2", L"First 1", L"Second 1"}));
    // Every process of the prefix, this one included, as asked window by window.
    for (DWORD pid : ids)
      for (bool skip : {true, false})
        EXPECT_EQ(CollectWindowTitles(pid, skip), Reference(pid, skip)) << pid;
  };
  check();
  NoThreadListing refused;  // then every window is asked for its process
  check();
}

TEST(AppWindows, OnePassGivesEveryProcessItsOwnTitles) {
  harness::Process a = harness::StartHelper("windows 3 Alpha");
  harness::Process b = harness::StartHelper("catalog");
  harness::Process c = harness::StartHelper("threads");
  // Windows just shown may still change places: the two enumerations are
  // compared once the order holds still, and differ for ever if they differ.
  std::unordered_map<DWORD, Titles> all;
  DWORD differing = 0;
  const bool same = harness::WaitFor([&] {
    all = CollectAllWindowTitles(true);
    for (DWORD pid : AllProcessIds())
      if (all[pid] != Reference(pid, true)) return (differing = pid), false;
    return true;
  }, 5000);
  EXPECT_TRUE(same) << "process " << differing << " got other titles than its own enumeration";
  EXPECT_EQ(all[a.Id()], (Titles{L"Alpha 3", L"Alpha 2", L"Alpha 1"}));
}

TEST(AppWindows, AWindowThatDoesNotAnswerDoesNotHoldUpTheCollection) {
  harness::Process p = harness::StartHelper("hang Stuck");
  const DWORD start = GetTickCount();
  Titles t = CollectWindowTitles(p.Id(), true);
  EXPECT_LT(GetTickCount() - start, 3000u);
  EXPECT_EQ(t, Titles{L"Stuck"});
}

namespace {
// Where in `titles` the answers ("PREFIX i asked") are, as opposed to kept
// captions ("PREFIX i"); every window 1..size appears once, either way.
std::vector<size_t> Answers(const Titles& titles, const std::wstring& prefix) {
  const std::wstring suffix = L" asked";
  std::vector<size_t> at;
  std::vector<int> seen(titles.size() + 1, 0);
  for (size_t i = 0; i < titles.size(); ++i) {
    std::wstring t = titles[i];
    if (t.size() > suffix.size() && t.compare(t.size() - suffix.size(), suffix.size(), suffix) == 0) {
      t.resize(t.size() - suffix.size());
      at.push_back(i);
    }
    EXPECT_EQ(t.rfind(prefix + L" ", 0), 0u) << titles[i];
    const int n = static_cast<int>(std::wcstol(t.c_str() + prefix.size() + 1, nullptr, 10));
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
  const std::vector<size_t> asked = Answers(CollectWindowTitles(slow.Id(), true, budget), L"Slow");
  ASSERT_FALSE(asked.empty());  // a window that answers in time gives its answer
  // Each answer spent 60 ms of the budget: none is asked after it is gone.
  EXPECT_LT(asked.back(), TitleBudget::kDefaultMs / 60 + 1);
  EXPECT_TRUE(budget.Spent());
  EXPECT_TRUE(Answers(CollectWindowTitles(slow.Id(), true, budget), L"Slow").empty());

  // 40 windows that take 2 s each: none answers within its 100 ms, and
  // together they hold the collection up for the budget only, not 4 s.
  harness::Process late = harness::StartHelper("slow 40 2000 Late");
  TitleBudget fresh;
  const DWORD start = GetTickCount();
  Titles titles = CollectAllWindowTitles(true, fresh)[late.Id()];
  const DWORD took = GetTickCount() - start;
  EXPECT_TRUE(Answers(titles, L"Late").empty());
  EXPECT_EQ(titles.size(), 40u);
  EXPECT_LT(took, 2000u);
}

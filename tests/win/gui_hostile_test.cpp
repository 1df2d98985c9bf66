// The real Vorlane.exe next to slow windows and racing starts, and the
// small things of its banner and status bar, driven from outside.
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/start_lock.h"
#include "harness.h"

using namespace harness;

TEST(Gui, CopiesStartedAtOnceLeaveOneWindow) {
  const std::string exe = CopyExe(TestDir() + "race", "VorlaneRace.exe");
  for (int round = 0; round < 3; ++round) {
    Process copies[5];
    for (Process& p : copies) ASSERT_TRUE(p.Start("\"" + exe + "\""));
    // Every copy but one hands over and ends with 0.
    auto running = [&] {
      int n = 0;
      for (Process& p : copies) n += p.Running() ? 1 : 0;
      return n;
    };
    ASSERT_TRUE(WaitFor([&] { return running() == 1; }, 30000)) << "round " << round;
    Process* kept = nullptr;
    for (Process& p : copies) {
      if (p.Running())
        kept = &p;
      else
        EXPECT_EQ(p.Wait(0), 0) << "round " << round;
    }
    ASSERT_TRUE(kept);
    HWND form = FindTopWindow(kept->Id(), "TForm1");
    EXPECT_NE(form, nullptr) << "round " << round;
    // Closing it lets the next round's starts run a copy again.
    PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(kept->Wait(20000), 0);
  }
}

TEST(Gui, StartsDuringACloseOrAfterAKillEndWithOneWindowAndNoMarkerLeft) {
  const std::string exe = CopyExe(TestDir() + "reborn", "VorlaneReborn.exe");
  const char* marker = "VorlaneReborn.exe";
  auto startAndClose = [&](Process& older) {
    // A start while the older copy's windows are still going: it runs a copy of its own.
    Process copy;
    ASSERT_TRUE(copy.Start("\"" + exe + "\""));
    HWND form = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (form = FindTopWindow(copy.Id(), "TForm1")) != nullptr; }, 30000))
        << "the start ended with code " << copy.Wait(0) << " and no window";
    EXPECT_NE(older.Wait(15000), -1);
    EXPECT_TRUE(copy.Running());
    if (form) PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(copy.Wait(15000), 0);
  };
  {
    App first(exe);
    ASSERT_TRUE(first.form);
    PostMessageA(first.form, WM_CLOSE, 0, 0);
    first.form = nullptr;
    startAndClose(first.process);
  }
  EXPECT_EQ(GlobalFindAtomA(marker), 0) << "after a close and a start";
  {
    App killed(exe);
    ASSERT_TRUE(killed.form);
    killed.form = nullptr;
    ASSERT_TRUE(killed.process.Kill());
    ASSERT_NE(GlobalFindAtomA(marker), 0);  // the stale marker
    startAndClose(killed.process);
  }
  EXPECT_EQ(GlobalFindAtomA(marker), 0) << "after a kill and a start";
  while (ATOM left = GlobalFindAtomA(marker)) GlobalDeleteAtom(left);
}

// A copy that an earlier test program left running (outside this one's job)
// is ended by the next test program's start, its marker removed: the
// program then starts as a copy of its own instead of handing over to it.
TEST(Gui, ACopyLeftRunningByAnEarlierTestRunIsEndedAtTheNextStart) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + VorlaneExe() + "\"";
  ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  CloseHandle(pi.hThread);
  base::UniqueHandle leftover(pi.hProcess);
  ASSERT_TRUE(WaitFor([&] { return FindTopWindow(pi.dwProcessId, "TForm1") != nullptr; }, 30000));
  RestoreTestEnvironment();
  EXPECT_EQ(WaitForSingleObject(leftover.get(), 0), WAIT_OBJECT_0);
  TerminateProcess(leftover.get(), 1);
  EXPECT_EQ(GlobalFindAtomA("Vorlane.exe"), 0);
  App app;
  EXPECT_NE(app.process.Id(), pi.dwProcessId);
}

TEST(Gui, AnotherProgramsVorlaneWindowIsNeverTheRunningCopyAndASecondCloseIsIgnored) {
  const std::string exe = CopyExe(TestDir() + "foreign", "VorlaneForeign.exe");
  const char* marker = "VorlaneForeign.exe";
  struct Gone {  // no marker left, also when the test fails on the way
    const char* name;
    ~Gone() { while (ATOM left = GlobalFindAtomA(name)) GlobalDeleteAtom(left); }
  } gone{marker};
  // Another program's window as ours looks: our class and title.
  Process foreign = StartHelper("titled Vorlane TApplication");
  {
    // Running, minimized, the foreign window above it: a second start brings ours forward.
    App first(exe);
    ASSERT_TRUE(first.form);
    ShowWindow(first.form, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(first.form) != FALSE; }));
    SetWindowPos(FindTopWindow(foreign.Id(), "TApplication"), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Process second;
    ASSERT_TRUE(second.Start("\"" + exe + "\""));
    EXPECT_EQ(second.Wait(15000), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(first.form); })) << "ours never came forward";
    // Killed, it leaves its marker.
    first.form = nullptr;
    ASSERT_TRUE(first.process.Kill());
    ASSERT_NE(GlobalFindAtomA(marker), 0);
  }
  App app(exe);
  ASSERT_TRUE(app.form) << "a start after a kill beside a foreign window showed nothing";

  // With the start lock held here, the close waits inside WM_CLOSE; a second
  // WM_CLOSE meanwhile is answered at once and the lock taken only once.
  base::UniqueHandle lock(CreateMutexA(nullptr, FALSE, StartLockName(marker).c_str()));
  ASSERT_EQ(WaitForSingleObject(lock.get(), 10000), WAIT_OBJECT_0);
  DWORD_PTR answer = 0;
  EXPECT_FALSE(SendMessageTimeoutA(app.form, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));
  EXPECT_TRUE(SendMessageTimeoutA(app.form, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
      << "the second close waits too";
  EXPECT_TRUE(IsWindow(app.form));
  ReleaseMutex(lock.get());
  app.form = nullptr;
  EXPECT_EQ(app.process.Wait(15000), 0);
  EXPECT_EQ(WaitForSingleObject(lock.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0))
      << "the closed copy left the lock taken";
  ReleaseMutex(lock.get());
  EXPECT_EQ(GlobalFindAtomA(marker), 0);
}

namespace {
// Real input: the button pressed at `from`, the pointer moved, released at `to`.
void DragWithButton(POINT from, POINT to) {
  MovePointer(from.x, from.y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &in, sizeof in);
  MovePointer(to.x, to.y);
  in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

POINT CentreOf(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
}  // namespace

TEST(Gui, TheBannerOpensOnlyOnAPressAndReleaseOverIt) {
  App app;
  ASSERT_TRUE(app.form);
  const POINT banner = CentreOf(app.Ctl(kIdLink)), status = CentreOf(app.Ctl(kIdStatusBar));
  // Wine aims input at a window when it is queued: queued while the first
  // load still runs, a release meant for the window that will take the
  // press reaches another. The link's hint is made once that load is done.
  ASSERT_TRUE(WaitFor([&] { return FindTopWindow(app.process.Id(), TOOLTIPS_CLASSA) != nullptr; }));
  app.Settle();
  ASSERT_TRUE(BringForward(app.form));
  DragWithButton(banner, status);  // pressed on it, released outside
  DragWithButton(status, banner);  // pressed outside, released on it
  // An entry clicked after both fills the panel once they have been handled;
  // a confirmation opened by either would block the window instead.
  HWND dialog = nullptr;
  const auto answered = [&] {
    return ((dialog = FindTopWindow(app.process.Id(), "TMessageForm")) && IsWindowVisible(dialog)) ||
           !TextOf(app.Ctl(kIdIdProcess)).empty();
  };
  // Wine may spend the first click on bringing the window forward: one more then.
  bool done = false;
  for (int click = 0; click < 2 && !done; ++click) {
    app.ClickItem(0);
    done = WaitFor(answered, 3000);
  }
  ASSERT_TRUE(done) << "neither the panel nor a confirmation answered the click";
  EXPECT_FALSE(dialog && IsWindowVisible(dialog));
  EXPECT_NE(TextOf(app.Ctl(kIdIdProcess)), "");
  if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

TEST(Gui, SlowWindowsDelayAReloadAndASelectionBoundedly) {
  // 100 windows answering their title after 60 ms each: asking them all
  // would hold every reload and every selection of the helper for 6 s.
  Process helper = StartHelper("slow 100 60 Slow");
  // How many titles the program has asked the helper for: each answer
  // takes 60 ms, so a budget of one second holds at most 17 questions.
  const HWND counter = FindTopWindow(helper.Id(), "VorlaneSlow");
  ASSERT_NE(counter, nullptr);
  auto asked = [&] { return static_cast<int>(Send(counter, WM_APP)); };
  App app;
  int before = asked();
  app.Click(kIdReget);
  EXPECT_LE(asked() - before, 17) << "questions in one reload";
  const int index = app.IndexOf(Prefix(helper.Id()));
  ASSERT_GE(index, 0);
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  int listed = 0, answered = 0;
  for (const std::string& item : app.Items()) {
    if (item.rfind(Prefix(helper.Id()) + " Slow ", 0) != 0) continue;
    ++listed;
    if (item.substr(0, item.find('\r')).find(" asked") != std::string::npos) ++answered;
  }
  EXPECT_EQ(listed, 100);
  EXPECT_LE(answered, 17);  // one second of 60 ms answers; the rest from the kept captions

  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 0, 0);
  const int entry = app.IndexOf(Prefix(helper.Id()));
  ASSERT_GE(entry, 0);
  // A selection shows the details after the same budget; the message is
  // answered once they are shown.
  Send(app.Ctl(kIdList), LB_SETCURSEL, entry, 0);
  before = asked();
  Send(GetParent(app.Ctl(kIdList)), WM_COMMAND, MAKEWPARAM(kIdList, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(app.Ctl(kIdList)));
  EXPECT_LE(asked() - before, 17) << "questions in one selection";
  ASSERT_EQ(TextOf(app.Ctl(kIdIdProcess)), std::to_string(helper.Id()));
  const std::string memo = TextOf(app.Ctl(kIdMemo));
  int lines = 0, answers = 0;
  for (size_t at = 0; (at = memo.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  for (size_t at = 0; (at = memo.find(" asked\r\n", at)) != std::string::npos; at += 8) ++answers;
  EXPECT_EQ(lines, 100);
  EXPECT_LE(answers, 17);
}

TEST(Gui, WideningLeavesNoLineInTheStatusBar) {
  App app;
  ASSERT_TRUE(app.form);
  HWND status = app.Ctl(kIdStatusBar);
  RECT outer;
  GetWindowRect(app.form, &outer);
  // At the screen's left, so that the widened window stays on it.
  SetWindowPos(app.form, nullptr, 0, outer.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(WaitFor([&] { GetWindowRect(app.form, &outer); return outer.left == 0; }));
  RECT before;
  GetWindowRect(status, &before);
  SaveScreenshot("status_before");
  SetWindowPos(app.form, nullptr, 0, 0, outer.right - outer.left + 200, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER);
  RECT after;
  ASSERT_TRUE(WaitFor([&] { GetWindowRect(status, &after); return after.right >= before.right + 200; }));
  // Once the bar has repainted, the row through its middle is plain face colour
  // from the text's end to its new right end, old right edge included.
  const int y = (after.top + after.bottom) / 2;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  std::vector<int> marked;
  const bool clean = WaitFor([&] {
    ScreenPixels px({before.right - 40, y, after.right - 20, y + 1});
    marked.clear();
    for (int x = before.right - 40; x < after.right - 20; ++x)
      if (px.Pixel(x, y) != face) marked.push_back(x);
    return px.Valid() && marked.empty();
  }, 3000);
  SaveScreenshot("status_after");
  EXPECT_TRUE(clean && marked.empty()) << marked.size() << " pixels off the face colour, first at x="
                              << (marked.empty() ? -1 : marked.front())
                              << "; old right edge at x=" << before.right;
}

// Windows as a user meets them: a window that stops answering, one closed as
// its close box would, a process tree stopped, a window's process found by
// pointing at it. The real program, driven with real keys and clicks.
#include <gtest/gtest.h>

#include "keys_app.h"
#include <tlhelp32.h>

#include <algorithm>

using namespace harness;
using keys::Chord;
using keys::KeysApp;

namespace {

const std::string kMark = "\x20\x28\x89\x9E\x93\x9A\x82\xC8\x82\xB5\x29\r";  // " (応答なし)", line end

// The entries of process `pid` on the tab shown, and how many are marked.
std::vector<std::string> EntriesOf(const App& app, DWORD pid, int& marked) {
  std::vector<std::string> out;
  for (const std::string& e : app.Items())
    if (e.rfind(Prefix(pid), 0) == 0) out.push_back(e);
  auto isMarked = [](const std::string& e) { return e.find(kMark) == e.find('\r') + 1 - kMark.size(); };
  marked = static_cast<int>(std::count_if(out.begin(), out.end(), isMarked));
  return out;
}

// A menu opened with `opener` (Shift+F10: the selected entry's), then `key`.
void FromMenu(const KeysApp& app, WORD key, const std::vector<WORD>& opener = {VK_SHIFT, VK_F10}) {
  ASSERT_TRUE(BringForward(app.form));
  Chord(opener);
  if (WaitFor([&] { return app.OpenMenu() != nullptr; })) PressKey(key);
}

}  // namespace

TEST(Windows, AWindowThatStopsAnsweringIsMarkedUntilItAnswersAgain) {
  Process fine = StartHelper("windows 1 Fine");
  Process stalled = StartHelper("hang Stalled 20");
  const std::vector<HWND> windows = TopWindows(stalled.Id());  // one thread's: all hang together
  App app;
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1);
  // The system's own judgement comes some seconds after the thread stopped.
  ASSERT_TRUE(WaitFor([&] { return std::all_of(windows.begin(), windows.end(), IsHungAppWindow); }, 20000));
  const DWORD start = GetTickCount();
  app.Click(kIdReget);
  EXPECT_LT(GetTickCount() - start, 1500u) << "a reload with 20 windows that do not answer";
  int marked = 0, fineMarked = 0;
  EXPECT_EQ(EntriesOf(app, stalled.Id(), marked).size() + EntriesOf(app, fine.Id(), fineMarked).size(), 21u);
  EXPECT_EQ(marked * 100 + fineMarked, 2000) << "20 marked, the one that answers not";
  app.ItemPoint(app.IndexOf(Prefix(stalled.Id())));  // in view for the picture
  SaveScreenshot("not_responding");

  // It answers again: the next reload takes the mark away.
  const std::string event = "VorlaneAnswer " + std::to_string(stalled.Id());
  base::UniqueHandle answer(OpenEventA(EVENT_MODIFY_STATE, FALSE, event.c_str()));
  ASSERT_TRUE(answer && SetEvent(answer.get()));
  ASSERT_TRUE(WaitFor([&] { return !IsHungAppWindow(windows[0]); }));
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1);
  app.Click(kIdReget);
  EXPECT_EQ(EntriesOf(app, stalled.Id(), marked).size(), 20u);
  EXPECT_EQ(marked, 0);
}

TEST(Windows, CloseAsksTheWindowOnceAndItsEntryLeavesOrTheStatusBarSaysItStays) {
  const std::string accepts = TestDir() + "close_accepts.log", refuses = TestDir() + "close_refuses.log";
  for (const std::string& file : {accepts, refuses}) DeleteFileA(file.c_str());
  Process closing = StartHelper("closing Closable \"" + accepts + "\" accept");
  Process refusing = StartHelper("closing Stubborn \"" + refuses + "\" refuse");
  KeysApp app;
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1);
  ASSERT_TRUE(app.Select(app.IndexOf(Prefix(closing.Id()) + " Closable"), closing.Id()));
  FromMenu(app, 'W');
  EXPECT_EQ(closing.Wait(10000), 0);
  EXPECT_TRUE(WaitFor([&] { return app.IndexOf(Prefix(closing.Id())) == -1; }));
  EXPECT_EQ(ReadFileBytes(accepts), "close\n");

  // Asked once, it stays: after 5 s the status bar says so, the list as it was.
  const int index = app.IndexOf(Prefix(refusing.Id()) + " Stubborn");
  ASSERT_TRUE(app.Select(index, refusing.Id()));
  FromMenu(app, 'W');
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(refuses) == "close\n"; }, 3000));
  EXPECT_TRUE(WaitFor([&] { return TextOf(app.Ctl(kIdStatusBar)).find("Stubborn") != std::string::npos; }, 8000));
  EXPECT_EQ(ListSelection(app.Ctl(kIdList)), index);
  EXPECT_TRUE(refusing.Running());
  EXPECT_EQ(ReadFileBytes(refuses), "close\n");
  for (const std::string& file : {accepts, refuses}) DeleteFileA(file.c_str());
}

namespace {

// A tree the test started, from the system's own parent IDs: each process
// with its depth, its line in the confirmation and a handle to it.
struct Member { DWORD id; int depth; std::string line; base::UniqueHandle handle; };

std::vector<Member> TreeFrom(DWORD root) {
  std::vector<PROCESSENTRY32> all;
  base::UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  for (BOOL ok = Process32First(snap.get(), &e); ok; ok = Process32Next(snap.get(), &e)) all.push_back(e);
  std::vector<Member> out;
  out.push_back({root, 0, {}, {}});
  for (size_t i = 0; i < out.size(); ++i)
    for (const PROCESSENTRY32& p : all)
      if (p.th32ParentProcessID == out[i].id) out.push_back({p.th32ProcessID, out[i].depth + 1, {}, {}});
  for (Member& m : out) {
    for (int d = 0; d < m.depth; ++d) m.line += "\x81\x40\x81\x40";  // "　　" a level
    m.line += "helper.exe (" + std::to_string(m.id) + ")";
    m.handle.reset(OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, m.id));
  }
  return out;
}

uint64_t ExitTime(HANDLE process) {
  FILETIME t[4]{};  // created, exited, kernel, user
  GetProcessTimes(process, &t[0], &t[1], &t[2], &t[3]);
  return uint64_t{t[1].dwHighDateTime} << 32 | t[1].dwLowDateTime;
}

// Opens the confirmation for the root's entry; its text, each line ended by "\r\n".
std::string AskToStopTree(const KeysApp& app, DWORD root, HWND& dialog) {
  if (!app.Select(app.IndexOf(Prefix(root)), root)) return {};
  FromMenu(app, 'T');
  if (!WaitFor([&] { return (dialog = FindTopWindow(app.process.Id(), "TMessageForm")) && IsWindowVisible(dialog); }))
    return {};
  return TextOf(GetWindow(GetWindow(dialog, GW_CHILD), GW_HWNDNEXT)) + "\r\n";  // the icon, the text
}

}  // namespace

TEST(Windows, ATreeIsListedThenStoppedTheDeepestFirstAndNoStopsNothing) {
  Process root = StartHelper("tree 2");
  const std::vector<Member> tree = TreeFrom(root.Id());
  ASSERT_EQ(tree.size(), 4u);  // two children, one with a child of its own
  KeysApp app;
  HWND dialog = nullptr;
  const std::string text = AskToStopTree(app, root.Id(), dialog);
  for (const Member& m : tree) EXPECT_NE(text.find("\n" + m.line + "\r\n"), std::string::npos) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6) << text;  // the question, a gap, the four
  SaveScreenshot("tree_confirmation");
  Send(GetDlgItem(dialog, IDNO), BM_CLICK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  app.Settle();
  for (const Member& m : tree) EXPECT_EQ(WaitForSingleObject(m.handle.get(), 0), WAIT_TIMEOUT) << m.id;

  ASSERT_EQ(AskToStopTree(app, root.Id(), dialog), text);
  Send(GetDlgItem(dialog, IDYES), BM_CLICK);
  for (const Member& m : tree) EXPECT_EQ(WaitForSingleObject(m.handle.get(), 15000), WAIT_OBJECT_0) << m.id;
  // Each ended before any shallower one: the system's record of when.
  for (const Member& deeper : tree)
    for (const Member& shallower : tree)
      if (deeper.depth > shallower.depth) {
        EXPECT_LT(ExitTime(deeper.handle.get()), ExitTime(shallower.handle.get())) << deeper.id << ", " << shallower.id;
      }
  EXPECT_TRUE(WaitFor([&] { return app.IndexOf(Prefix(root.Id())) == -1; }));
}

namespace {

// The outline's edges that show.
int ShownEdges(const App& app) {
  int shown = 0;
  for (HWND w : TopWindows(app.process.Id())) {
    char cls[64] = {};
    shown += GetClassNameA(w, cls, sizeof cls) && std::string(cls) == "VorlaneOutline" && IsWindowVisible(w);
  }
  return shown;
}

POINT Centre(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HCURSOR ShownCursor() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

// The pointer over `w`, then Ctrl+F (or the window menu's W): true once the outline shows.
bool PointWithCtrlF(const KeysApp& app, HWND w, bool windowMenu = false) {
  MovePointer(Centre(w).x, Centre(w).y);
  if (!BringForward(app.form)) return false;
  windowMenu ? FromMenu(app, 'W', {VK_MENU, VK_SPACE}) : Chord({VK_CONTROL, 'F'});
  return WaitFor([&] { return ShownEdges(app) == 4; }, 5000);
}

// A click on `w` shows tab `tab` with an entry of `pid` selected, starting `with`.
bool ClickSelects(const App& app, HWND w, int tab, DWORD pid, const std::string& with) {
  ClickAt(Centre(w).x, Centre(w).y);
  const HWND list = app.Ctl(kIdList);
  return WaitFor([&] {
    return Send(app.Ctl(kIdTabMain), TCM_GETCURSEL) == tab && TextOf(app.Ctl(kIdIdProcess)) == std::to_string(pid) &&
           ItemAt(list, ListSelection(list)).rfind(with, 0) == 0 && ShownEdges(app) == 0;
  });
}

}  // namespace

TEST(Windows, PointingSelectsTheEntryOfTheWindowClickedWhichNeverSeesTheClick) {
  const std::string log = TestDir() + "pointed.log";
  DeleteFileA(log.c_str());
  Process pointed = StartHelper("closing Pointed \"" + log + "\" accept");
  KeysApp app;
  const HWND main = FindTitled(pointed.Id(), "Pointed"), tool = FindTitled(pointed.Id(), "Pointed tool");

  // An application window: outlined, then its entry on the application tab.
  ASSERT_TRUE(PointWithCtrlF(app, main));
  RECT r{};
  GetWindowRect(main, &r);
  const ScreenPixels pixels(r);  // the outline on the window's own edges
  EXPECT_EQ(pixels.Pixel(r.left + 1, r.bottom - 2), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(pixels.Pixel(r.right - 1, r.top + 40), GetSysColor(COLOR_HIGHLIGHT));
  SaveScreenshot("pointing_outline");
  EXPECT_TRUE(ClickSelects(app, main, 1, pointed.Id(), Prefix(pointed.Id()) + " Pointed\r"));
  // Its owned tool window is no application window: the process entry.
  ASSERT_TRUE(PointWithCtrlF(app, tool));
  EXPECT_TRUE(ClickSelects(app, tool, 0, pointed.Id(), Prefix(pointed.Id())));
  Send(main, WM_NULL);  // what was sent to the helper has arrived
  EXPECT_EQ(ReadFileBytes(log), "");

  // Esc: nothing outlined, the pointer as it was, clicks the window's again.
  const HCURSOR before = ShownCursor();
  ASSERT_TRUE(PointWithCtrlF(app, main));
  EXPECT_TRUE(WaitFor([&] { return ShownCursor() != before; }, 3000)) << "no crosshair";
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return ShownEdges(app) == 0 && ShownCursor() == before; }));
  ClickAt(Centre(main).x, Centre(main).y);
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(log).find("click") != std::string::npos; }));
  ASSERT_TRUE(pointed.Kill());
  DeleteFileA(log.c_str());

  // The window menu's W over a process started since the last reload: reloads, selects.
  Process late = StartHelper("windows 1 Late");
  const HWND lateWindow = FindTitled(late.Id(), "Late 1");
  ASSERT_TRUE(lateWindow && app.IndexOf(Prefix(late.Id())) == -1);
  ASSERT_TRUE(PointWithCtrlF(app, lateWindow, true));
  EXPECT_TRUE(ClickSelects(app, lateWindow, 1, late.Id(), Prefix(late.Id()) + " Late 1\r"));
}

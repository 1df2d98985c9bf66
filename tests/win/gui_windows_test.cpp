// Windows as a user meets them: a window that stops answering, a window
// closed as its close box would, a process tree stopped, a window's process
// found by pointing at it. The real program, driven with real keys.
#include <gtest/gtest.h>

#include "keys_app.h"
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace harness;
using keys::Chord;
using keys::KeysApp;

namespace {

const std::string kMark = "\x20\x28\x89\x9E\x93\x9A\x82\xC8\x82\xB5\x29";  // " (応答なし)"

bool Marked(const std::string& entry) {
  const std::string first = entry.substr(0, entry.find('\r'));
  return first.size() >= kMark.size() && first.compare(first.size() - kMark.size(), kMark.size(), kMark) == 0;
}

// The entries of process `pid` on the shown tab.
std::vector<std::string> EntriesOf(const App& app, DWORD pid) {
  std::vector<std::string> out;
  for (const std::string& e : app.Items())
    if (e.rfind(Prefix(pid), 0) == 0) out.push_back(e);
  return out;
}

void ShowTab(const App& app, int tab) { Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, tab, 0); }

// Opens the entry menu of the selected entry with Shift+F10 and picks `key`.
void FromEntryMenu(const KeysApp& app, WORD key) {
  ASSERT_TRUE(BringForward(app.form));
  Chord({VK_SHIFT, VK_F10});
  ASSERT_TRUE(WaitFor([&] { return app.OpenMenu() != nullptr; }));
  PressKey(key);
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(Windows, AWindowThatStopsAnsweringIsMarkedUntilItAnswersAgain) {
  Process fine = StartHelper("windows 1 Fine");
  Process stalled = StartHelper("stall 20 Stalled");
  std::vector<HWND> windows;
  for (HWND w : TopWindows(stalled.Id()))
    if (IsWindowVisible(w)) windows.push_back(w);
  ASSERT_EQ(windows.size(), 20u);
  App app;
  ShowTab(app, 1);
  // The system's own judgement comes some seconds after the thread stopped.
  ASSERT_TRUE(WaitFor([&] { return std::all_of(windows.begin(), windows.end(), IsHungAppWindow); }, 20000));
  const DWORD start = GetTickCount();
  app.Click(kIdReget);
  EXPECT_LT(GetTickCount() - start, 1500u) << "a reload with 20 windows that do not answer";
  std::vector<std::string> entries = EntriesOf(app, stalled.Id());
  EXPECT_EQ(entries.size(), 20u);
  for (const std::string& e : entries) EXPECT_TRUE(Marked(e)) << e;
  for (const std::string& e : EntriesOf(app, fine.Id())) EXPECT_FALSE(Marked(e)) << e;
  const int first = app.IndexOf(Prefix(stalled.Id()));
  ASSERT_GE(first, 0);
  app.ItemPoint(first);  // scrolled into view for the picture
  SaveScreenshot("not_responding");
  ShowTab(app, 0);
  EXPECT_EQ(EntriesOf(app, stalled.Id()).size(), 1u);
  for (const std::string& e : EntriesOf(app, stalled.Id())) EXPECT_FALSE(Marked(e)) << e;

  // It answers again: the next reload takes the mark away.
  const std::string name = "VorlaneAnswer " + std::to_string(stalled.Id());
  base::UniqueHandle answer(OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str()));
  ASSERT_TRUE(answer);
  SetEvent(answer.get());
  ASSERT_TRUE(WaitFor([&] {
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(windows[0], WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &r) &&
           !IsHungAppWindow(windows[0]);
  }));
  ShowTab(app, 1);
  app.Click(kIdReget);
  entries = EntriesOf(app, stalled.Id());
  EXPECT_EQ(entries.size(), 20u);
  for (const std::string& e : entries) EXPECT_FALSE(Marked(e)) << e;
}

TEST(Windows, CloseAsksTheWindowOnceAndItsEntryLeavesOrTheStatusBarSaysItStays) {
  const std::string accepts = TestDir() + "close_accepts.log", refuses = TestDir() + "close_refuses.log";
  DeleteFileA(accepts.c_str());
  DeleteFileA(refuses.c_str());
  Process closing = StartHelper("closing Closable \"" + accepts + "\" accept");
  Process refusing = StartHelper("closing Stubborn \"" + refuses + "\" refuse");
  KeysApp app;
  ShowTab(app, 1);
  int index = app.IndexOf(Prefix(closing.Id()) + " Closable");
  ASSERT_GE(index, 0);
  ASSERT_TRUE(app.Select(index, closing.Id()));
  FromEntryMenu(app, 'W');
  EXPECT_EQ(closing.Wait(10000), 0);
  EXPECT_TRUE(WaitFor([&] { return app.IndexOf(Prefix(closing.Id())) == -1; }));
  EXPECT_EQ(FileText(accepts), "close\n");
  EXPECT_EQ(Send(app.Ctl(kIdTabMain), TCM_GETCURSEL, 0, 0), 1);

  index = app.IndexOf(Prefix(refusing.Id()) + " Stubborn");
  ASSERT_GE(index, 0);
  ASSERT_TRUE(app.Select(index, refusing.Id()));
  const std::string notice = TextOf(app.Ctl(kIdStatusBar));
  FromEntryMenu(app, 'W');
  ASSERT_TRUE(WaitFor([&] { return FileText(refuses) == "close\n"; }, 3000));
  // Asked once, it stays: after 5 s the status bar says so, the list as it was.
  EXPECT_TRUE(WaitFor([&] { return TextOf(app.Ctl(kIdStatusBar)) != notice; }, 8000));
  EXPECT_NE(TextOf(app.Ctl(kIdStatusBar)).find("Stubborn"), std::string::npos);
  EXPECT_EQ(ListSelection(app.Ctl(kIdList)), index);
  EXPECT_TRUE(refusing.Running());
  EXPECT_EQ(FileText(refuses), "close\n");
  DeleteFileA(accepts.c_str());
  DeleteFileA(refuses.c_str());
}

namespace {

// The processes of a tree started by the test, found from the system's own
// parent IDs: the root, its children and theirs, each with its depth.
struct Member {
  DWORD id;
  int depth;
  base::UniqueHandle handle;
};

std::vector<Member> TreeFrom(DWORD root) {
  std::vector<PROCESSENTRY32> all;
  base::UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  for (BOOL ok = Process32First(snap.get(), &e); ok; ok = Process32Next(snap.get(), &e)) all.push_back(e);
  std::vector<Member> out;
  out.push_back({root, 0, {}});
  for (size_t i = 0; i < out.size(); ++i)
    for (const PROCESSENTRY32& p : all)
      if (p.th32ParentProcessID == out[i].id) out.push_back({p.th32ProcessID, out[i].depth + 1, {}});
  for (Member& m : out)
    m.handle.reset(OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, m.id));
  return out;
}

uint64_t ExitTime(HANDLE process) {
  FILETIME created, exited{}, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<uint64_t>(exited.dwHighDateTime) << 32) | exited.dwLowDateTime;
}

// Opens the tree's confirmation for the root's entry; its text, or empty.
std::string AskToStopTree(const KeysApp& app, DWORD root, HWND& dialog) {
  const int index = app.IndexOf(Prefix(root));
  if (index < 0 || !app.Select(index, root)) return {};
  FromEntryMenu(app, 'T');
  if (!WaitFor([&] {
        dialog = FindTopWindow(app.process.Id(), "TMessageForm");
        return dialog && IsWindowVisible(dialog);
      }))
    return {};
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (!TextOf(c).empty() && GetDlgCtrlID(c) != IDYES && GetDlgCtrlID(c) != IDNO) return TextOf(c);
  return {};
}

// The lines of `text` ("\r\n" between them).
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  for (size_t at = 0; at <= text.size();) {
    const size_t end = std::min(text.find("\r\n", at), text.size());
    out.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

}  // namespace

TEST(Windows, ATreeIsListedThenStoppedTheDeepestFirstAndNoStopsNothing) {
  Process root = StartHelper("tree 2");
  const std::vector<Member> tree = TreeFrom(root.Id());
  ASSERT_EQ(tree.size(), 4u);  // two children, one with a child of its own
  KeysApp app;
  HWND dialog = nullptr;
  std::string text = AskToStopTree(app, root.Id(), dialog);
  const std::string indent = "\x81\x40\x81\x40";  // "　　" a level
  const std::vector<std::string> lines = Lines(text);
  for (const Member& m : tree) {
    std::string line;
    for (int d = 0; d < m.depth; ++d) line += indent;
    line += "helper.exe (" + std::to_string(m.id) + ")";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line << " in\n" << text;
  }
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.find("helper.exe (") != std::string::npos; }),
            4);
  SaveScreenshot("tree_confirmation");
  ASSERT_NE(dialog, nullptr);
  Send(GetDlgItem(dialog, IDNO), BM_CLICK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  app.Settle();
  for (const Member& m : tree) EXPECT_EQ(WaitForSingleObject(m.handle.get(), 0), WAIT_TIMEOUT) << m.id;

  text = AskToStopTree(app, root.Id(), dialog);
  ASSERT_EQ(Lines(text), lines);
  Send(GetDlgItem(dialog, IDYES), BM_CLICK);
  for (const Member& m : tree) EXPECT_EQ(WaitForSingleObject(m.handle.get(), 15000), WAIT_OBJECT_0) << m.id;
  // Each ended before any shallower one: the system's record of when.
  for (const Member& deeper : tree)
    for (const Member& shallower : tree) {
      if (deeper.depth <= shallower.depth) continue;
      EXPECT_LT(ExitTime(deeper.handle.get()), ExitTime(shallower.handle.get()))
          << deeper.id << " at depth " << deeper.depth << ", " << shallower.id;
    }
  EXPECT_TRUE(WaitFor([&] { return app.IndexOf(Prefix(root.Id())) == -1; }));
}

namespace {

// The outline's edges that show.
std::vector<HWND> ShownEdges(const App& app) {
  std::vector<HWND> out;
  for (HWND w : TopWindows(app.process.Id())) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::string(cls) == "VorlaneOutline" && IsWindowVisible(w)) out.push_back(w);
  }
  return out;
}

POINT Centre(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The pointer as the system shows it.
HCURSOR ShownCursor() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  GetCursorInfo(&info);
  return info.hCursor;
}

// Ctrl+F, the pointer over `at`: true once the outline shows.
bool PointWithCtrlF(const App& app, POINT at) {
  MovePointer(at.x, at.y);
  if (!BringForward(app.form)) return false;
  Chord({VK_CONTROL, 'F'});
  return WaitFor([&] { return ShownEdges(app).size() == 4; }, 5000);
}

// True once the tab `tab` shows with an entry of `pid` selected, starting `with`.
bool ShowsSelected(const App& app, int tab, DWORD pid, const std::string& with) {
  const HWND list = app.Ctl(kIdList);
  return WaitFor([&] {
    return Send(app.Ctl(kIdTabMain), TCM_GETCURSEL) == tab && TextOf(app.Ctl(kIdIdProcess)) == std::to_string(pid) &&
           ItemAt(list, ListSelection(list)).rfind(with, 0) == 0;
  });
}

}  // namespace

TEST(Windows, PointingSelectsTheEntryOfTheWindowClickedWhichNeverSeesTheClick) {
  const std::string log = TestDir() + "pointed.log";
  DeleteFileA(log.c_str());
  Process pointed = StartHelper("closing Pointed \"" + log + "\" accept");
  App app;
  const HWND main = FindTitled(pointed.Id(), "Pointed"), tool = FindTitled(pointed.Id(), "Pointed tool");
  ASSERT_TRUE(main && tool);

  // An application window: outlined, then its entry on the application tab.
  ASSERT_TRUE(PointWithCtrlF(app, Centre(main)));
  RECT r{}, edges{};
  GetWindowRect(main, &r);
  for (HWND edge : ShownEdges(app)) {
    RECT e{};
    GetWindowRect(edge, &e);
    UnionRect(&edges, &edges, &e);
  }
  EXPECT_TRUE(EqualRect(&edges, &r));
  const ScreenPixels pixels(r);
  ASSERT_TRUE(pixels.Valid());
  EXPECT_EQ(pixels.Pixel(r.left + 1, (r.top + r.bottom) / 2), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(pixels.Pixel((r.left + r.right) / 2, r.bottom - 2), GetSysColor(COLOR_HIGHLIGHT));
  SaveScreenshot("pointing_outline");
  ClickAt(Centre(main).x, Centre(main).y);
  EXPECT_TRUE(ShowsSelected(app, 1, pointed.Id(), Prefix(pointed.Id()) + " Pointed\r"));
  EXPECT_TRUE(WaitFor([&] { return ShownEdges(app).empty(); }));

  // Its owned tool window is no application window: the process entry.
  ASSERT_TRUE(PointWithCtrlF(app, Centre(tool)));
  ClickAt(Centre(tool).x, Centre(tool).y);
  EXPECT_TRUE(ShowsSelected(app, 0, pointed.Id(), Prefix(pointed.Id())));
  Send(main, WM_NULL);  // what was sent to the helper has arrived
  EXPECT_EQ(FileText(log), "");

  // Esc: nothing outlined, the pointer as it was, clicks the window's again.
  const HCURSOR before = ShownCursor();
  ASSERT_TRUE(PointWithCtrlF(app, Centre(main)));
  EXPECT_TRUE(WaitFor([&] { return ShownCursor() != before; }, 3000)) << "no crosshair";
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return ShownEdges(app).empty(); }));
  EXPECT_TRUE(WaitFor([&] { return ShownCursor() == before; }, 3000));
  ClickAt(Centre(main).x, Centre(main).y);
  EXPECT_TRUE(WaitFor([&] { return FileText(log).find("click") != std::string::npos; }));
  ASSERT_TRUE(pointed.Kill());

  // A window of a process started since the last reload: reloaded, then selected.
  Process late = StartHelper("windows 1 Late");
  const HWND lateWindow = FindTitled(late.Id(), "Late 1");
  ASSERT_NE(lateWindow, nullptr);
  ASSERT_EQ(app.IndexOf(Prefix(late.Id())), -1);
  ASSERT_TRUE(PointWithCtrlF(app, Centre(lateWindow)));
  ClickAt(Centre(lateWindow).x, Centre(lateWindow).y);
  EXPECT_TRUE(ShowsSelected(app, 1, late.Id(), Prefix(late.Id()) + " Late 1\r"));
  DeleteFileA(log.c_str());
}

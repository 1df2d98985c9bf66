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

// The real Vorlane.exe, started and driven from outside its process.
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/texts.h"
#include "harness.h"

#include <ddeml.h>

using namespace harness;

namespace {

// A running Vorlane with its main window found.
struct App {
  Process process;
  HWND form = nullptr;

  explicit App(const std::string& exe = VorlaneExe()) {
    EXPECT_TRUE(process.Start("\"" + exe + "\""));
    WaitFor([&] { return (form = FindTopWindow(process.Id(), "TForm1")) && ListCount() > 0; },
            20000);
  }
  ~App() {
    if (form) PostMessageA(form, WM_CLOSE, 0, 0);
    process.Wait(5000);
  }
  HWND Ctl(int id) const { return FindChild(form, id); }
  int ListCount() const { return static_cast<int>(SendMessageA(FindChild(form, kIdList), LB_GETCOUNT, 0, 0)); }
  std::vector<std::string> Items() const { return ListItems(Ctl(kIdList)); }
  int IndexOf(const std::string& prefix) const {
    auto items = Items();
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
  }
  void Click(int id) const { SendMessageA(Ctl(id), BM_CLICK, 0, 0); }
  // Clicks entry `index` until the details panel shows process `pid`: the
  // first real click may only bring the window forward.
  bool SelectEntry(int index, DWORD pid) const {
    return WaitFor([&] {
      if (TextOf(Ctl(kIdIdProcess)) == std::to_string(pid)) return true;
      ClickItem(index);
      Sleep(200);
      return false;
    });
  }
  void ClickItem(int index) const {
    HWND list = Ctl(kIdList);
    SendMessageA(list, LB_SETTOPINDEX, index, 0);
    RECT r;
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    POINT p{r.left + 200, (r.top + r.bottom) / 2};
    ClientToScreen(list, &p);
    SetForegroundWindow(form);
    ClickAt(p.x, p.y);
  }
};

std::string CopyExe(const std::string& dir, const std::string& name) {
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string to = dir + "\\" + name;
  CopyFileA(VorlaneExe().c_str(), to.c_str(), FALSE);
  return to;
}

HDDEDATA CALLBACK NoCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

bool DdeServiceAnswers() {
  DWORD inst = 0;
  if (DdeInitializeA(&inst, NoCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
  HSZ service = DdeCreateStringHandleA(inst, "IExplore", CP_WINANSI);
  HSZ topic = DdeCreateStringHandleA(inst, "WWW_openUrl", CP_WINANSI);
  HCONV conv = DdeConnect(inst, service, topic, nullptr);
  if (conv) DdeDisconnect(conv);
  DdeFreeStringHandle(inst, service);
  DdeFreeStringHandle(inst, topic);
  DdeUninitialize(inst);
  return conv != nullptr;
}

std::string Prefix(DWORD pid) { return "[ " + std::to_string(pid) + " : helper.exe ]"; }

}  // namespace

TEST(Gui, CaptionTextsAndLayout) {
  App app;
  ASSERT_TRUE(app.form);
  EXPECT_EQ(TextOf(app.form), "Vorlane  Ver. 1.0.2.0");
  EXPECT_NE(FindWindowA(nullptr, texts::kAppTitle), nullptr);
  EXPECT_EQ(TextOf(app.Ctl(kIdReget)), texts::kReget);
  EXPECT_EQ(TextOf(app.Ctl(kIdLabelDescription)), "\x90\xE0\x81\x40\x96\xBE");  // "説　明"
  EXPECT_EQ(TextOf(app.Ctl(kIdStop)), texts::kStop);
  EXPECT_EQ(TextOf(app.Ctl(kIdIdProcess)), "");

  RECT base;
  GetClientRect(GetParent(app.Ctl(kIdClose)), &base);
  const int w = base.right;
  RECT close = ChildRect(app.Ctl(kIdClose)), link = ChildRect(app.Ctl(kIdLink));
  RECT label = ChildRect(app.Ctl(kIdLabelIdProcess)), id = ChildRect(app.Ctl(kIdIdProcess));
  RECT combo = ChildRect(app.Ctl(kIdPriority)), name = ChildRect(app.Ctl(kIdDisplayName));
  EXPECT_EQ(base.bottom, 172);
  EXPECT_EQ(close.left, w - 92);
  EXPECT_EQ(close.top, 137);
  EXPECT_EQ(link.top, 102);
  EXPECT_EQ(label.left, 42);
  EXPECT_EQ(id.left, label.right + 4);
  EXPECT_EQ(id.right - id.left, (close.left - 42) / 2 - 4 - (label.right - label.left));
  EXPECT_EQ(combo.left, close.left - 89 - 4);
  EXPECT_EQ(name.right - name.left, close.left - name.left - 4);
  if (w == 632) {  // the layout as the window is designed
    EXPECT_EQ(close.left, 540);
    EXPECT_EQ(combo.left, 447);
  }
  if (w == 632 && label.right - label.left == 54) {  // the design font's label width
    EXPECT_EQ(id.left, 100);
    EXPECT_EQ(id.right - id.left, 191);
    EXPECT_EQ(name.right - name.left, 436);
  }
  SaveScreenshot("main_window");
}

TEST(Gui, ResizingKeepsMinimumAndRightColumn) {
  App app;
  SetWindowPos(app.form, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  RECT r;
  WaitFor([&] { GetWindowRect(app.form, &r); return r.right - r.left >= 640; });
  EXPECT_GE(r.right - r.left, 640);
  EXPECT_GE(r.bottom - r.top, 480);
  SetWindowPos(app.form, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
  RECT base;
  GetClientRect(GetParent(app.Ctl(kIdClose)), &base);
  RECT close = ChildRect(app.Ctl(kIdClose)), memo = ChildRect(app.Ctl(kIdMemo));
  EXPECT_EQ(base.bottom, 172);  // only the tab control grows
  EXPECT_EQ(close.right, base.right - 4);
  EXPECT_EQ(close.top, 137);
  EXPECT_EQ(memo.right, close.left - 4);
}

TEST(Gui, SingleInstancePerFileName) {
  App first;
  ShowWindow(first.form, SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(first.form) != FALSE; }));
  // The application window minimized too, as its taskbar button does.
  HWND appWindow = FindTopWindow(first.process.Id(), "TApplication");
  SendMessageA(appWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(appWindow) != FALSE; }));
  Process second;
  ASSERT_TRUE(second.Start("\"" + CopyExe(TestDir() + "elsewhere", "Vorlane.exe") + "\""));
  EXPECT_EQ(second.Wait(15000), 0);
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(first.form) && IsWindowVisible(first.form); }));
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(appWindow); }));
  EXPECT_EQ(FindTopWindow(second.Id(), "TForm1"), nullptr);

  App other(CopyExe(TestDir() + "elsewhere", "Vorlane2.exe"));
  EXPECT_NE(other.form, nullptr);
  EXPECT_TRUE(other.process.Running());
}

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
    EXPECT_EQ(kept->Wait(10000), 0);
  }
}

TEST(Gui, TabsOrderAndReload) {
  Process helper = StartHelper("windows 3 Gamma");
  App app;
  app.Click(kIdReget);
  EXPECT_GE(app.IndexOf(Prefix(helper.Id())), 0);
  // Application tab: the helper's windows in enumeration order.
  SendMessageA(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  auto items = app.Items();
  std::vector<std::string> mine;
  for (auto& i : items)
    if (i.rfind(Prefix(helper.Id()), 0) == 0) mine.push_back(i.substr(0, i.find('\r')));
  EXPECT_EQ(mine, (std::vector<std::string>{Prefix(helper.Id()) + " Gamma 3",
                                            Prefix(helper.Id()) + " Gamma 2",
                                            Prefix(helper.Id()) + " Gamma 1"}));
  // By image name, then a reload keeps the tab and the order.
  app.Click(kIdByFileName);
  auto byName = app.Items();
  app.Click(kIdReget);
  EXPECT_EQ(SendMessageA(app.Ctl(kIdTabMain), TCM_GETCURSEL, 0, 0), 1);
  auto after = app.Items();
  EXPECT_EQ(after.size(), byName.size());
  EXPECT_EQ(app.IndexOf(Prefix(helper.Id())), [&] {
    for (size_t i = 0; i < byName.size(); ++i)
      if (byName[i].rfind(Prefix(helper.Id()), 0) == 0) return static_cast<int>(i);
    return -1;
  }());
  EXPECT_FALSE(IsWindowEnabled(app.Ctl(kIdStop)));
  SaveScreenshot("application_tab");
}

TEST(Gui, DetailsPriorityAndStop) {
  Process helper = StartHelper("windows 2 Delta");
  SetPriorityClass(helper.Handle(), BELOW_NORMAL_PRIORITY_CLASS);
  App app;
  app.Click(kIdReget);
  int index = app.IndexOf(Prefix(helper.Id()));
  ASSERT_GE(index, 0);
  ASSERT_TRUE(app.SelectEntry(index, helper.Id()));
  EXPECT_EQ(TextOf(app.Ctl(kIdDisplayName)), "helper.exe");
  EXPECT_EQ(TextOf(app.Ctl(kIdMemo)), "Delta 2\r\nDelta 1\r\n");
  HWND combo = app.Ctl(kIdPriority);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 4);  // "通常以下"
  EXPECT_TRUE(IsWindowEnabled(combo));
  EXPECT_FALSE(IsWindowEnabled(app.Ctl(kIdUpdate)));
  SaveScreenshot("details");

  // The user picks "高" and presses "更新(&U)".
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(kIdPriority, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  ASSERT_TRUE(IsWindowEnabled(app.Ctl(kIdUpdate)));
  app.Click(kIdUpdate);
  EXPECT_EQ(GetPriorityClass(helper.Handle()), 0x80u);
  EXPECT_FALSE(IsWindowEnabled(app.Ctl(kIdUpdate)));

  // Arrow keys fill the panel like a click.
  PressKey(VK_DOWN);
  WaitFor([&] { return TextOf(app.Ctl(kIdIdProcess)) != std::to_string(helper.Id()); }, 3000);
  PressKey(VK_UP);
  ASSERT_TRUE(WaitFor([&] { return TextOf(app.Ctl(kIdIdProcess)) == std::to_string(helper.Id()); }));

  ASSERT_TRUE(IsWindowEnabled(app.Ctl(kIdStop)));
  app.Click(kIdStop);
  EXPECT_EQ(helper.Wait(5000), 0);
  EXPECT_EQ(app.IndexOf(Prefix(helper.Id())), -1);
  EXPECT_FALSE(IsWindowEnabled(app.Ctl(kIdStop)));
}

TEST(Gui, OwnEntryCannotBeStopped) {
  App app;
  int index = app.IndexOf("[ " + std::to_string(app.process.Id()) + " : Vorlane.exe ]");
  ASSERT_GE(index, 0);
  ASSERT_TRUE(app.SelectEntry(index, app.process.Id()));
  EXPECT_FALSE(IsWindowEnabled(app.Ctl(kIdStop)));
  EXPECT_TRUE(IsWindowEnabled(app.Ctl(kIdPriority)));
}

TEST(Gui, HomePageLinkAsksThenSendsTheCommand) {
  const std::string log = TestDir() + "dde_log.bin";
  DeleteFileA(log.c_str());
  Process server;
  ASSERT_TRUE(server.Start("\"" + TestDir() + "dde_server.exe\" \"" + log + "\""));
  ASSERT_TRUE(WaitFor([] { return FindWindowA(nullptr, "dde ready") != nullptr; }));
  ASSERT_TRUE(WaitFor(DdeServiceAnswers));  // registered and answering, not just started
  App app;
  HWND link = app.Ctl(kIdLink);
  PostMessageA(link, WM_LBUTTONDOWN, 0, 0);
  PostMessageA(link, WM_LBUTTONUP, 0, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (dialog = FindTopWindow(app.process.Id(), "TMessageForm")) != nullptr && IsWindowVisible(dialog); }));
  EXPECT_EQ(TextOf(dialog), texts::kConfirmCaption);
  HWND yes = FindChild(dialog, IDYES), no = FindChild(dialog, IDNO);
  EXPECT_EQ(TextOf(yes), texts::kYes);
  EXPECT_EQ(TextOf(no), texts::kNo);
  // The one-line text is centred on the 32-pixel icon.
  HWND icon = GetWindow(dialog, GW_CHILD), label = GetWindow(icon, GW_HWNDNEXT);
  RECT ri = ChildRect(icon), rl = ChildRect(label);
  EXPECT_EQ(rl.top - ri.top, (32 - (rl.bottom - rl.top)) / 2);
  SendMessageA(yes, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(log).size() > 0; }));
  EXPECT_EQ(ReadFileBytes(log), std::string("\"") + texts::kHomePage + "\",,-1,,,,," + '\0');
  PostMessageA(FindWindowA(nullptr, "dde ready"), WM_CLOSE, 0, 0);
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
  SetForegroundWindow(app.form);
  DragWithButton(banner, status);  // pressed on it, released outside
  DragWithButton(status, banner);  // pressed outside, released on it
  // An entry clicked after both fills the panel once they have been handled;
  // a confirmation opened by either would block the window instead.
  HWND dialog = nullptr;
  WaitFor([&] {
    if ((dialog = FindTopWindow(app.process.Id(), "TMessageForm")) && IsWindowVisible(dialog))
      return true;
    if (!TextOf(app.Ctl(kIdIdProcess)).empty()) return true;
    app.ClickItem(0);
    Sleep(200);
    return false;
  });
  EXPECT_FALSE(dialog && IsWindowVisible(dialog));
  EXPECT_NE(TextOf(app.Ctl(kIdIdProcess)), "");
  if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

namespace {
// A point on the background of entry `index`, right of its text, on screen.
POINT EntryBackground(HWND list, int index) {
  RECT r;
  SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  POINT p{r.right - 12, (r.top + r.bottom) / 2};
  ClientToScreen(list, &p);
  return p;
}

bool EntryLooks(HWND list, int index, COLORREF colour) {
  POINT p = EntryBackground(list, index);
  ScreenPixels px({p.x, p.y, p.x + 1, p.y + 1});
  return px.Pixel(p.x, p.y) == colour;
}

const COLORREF kMoneyGreen = RGB(192, 220, 192), kSkyBlue = RGB(166, 202, 240);
}  // namespace

TEST(Gui, HotEntryFollowsThePointerAndSelectionIsSkyBlue) {
  App app;
  HWND list = app.Ctl(kIdList);
  SendMessageA(list, LB_SETTOPINDEX, 0, 0);
  ASSERT_GE(app.ListCount(), 3);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  POINT first = EntryBackground(list, 0), second = EntryBackground(list, 1);

  MovePointer(first.x, first.y);
  EXPECT_TRUE(WaitFor([&] { return EntryLooks(list, 0, kMoneyGreen); }));
  MovePointer(second.x, second.y);
  EXPECT_TRUE(WaitFor([&] { return EntryLooks(list, 1, kMoneyGreen) && EntryLooks(list, 0, window); }));
  SaveScreenshot("hot_entry");

  // Leaving the list takes the hot look away.
  RECT status;
  GetWindowRect(app.Ctl(kIdStatusBar), &status);
  MovePointer(status.left + 40, (status.top + status.bottom) / 2);
  EXPECT_TRUE(WaitFor([&] { return EntryLooks(list, 1, window); }));

  // A click selects: the entry turns sky blue once the pointer is gone.
  ASSERT_TRUE(WaitFor([&] {
    if (ListSelection(list) == 0) return true;
    ClickAt(first.x, first.y);
    Sleep(200);
    return false;
  }));
  MovePointer(status.left + 40, (status.top + status.bottom) / 2);
  EXPECT_TRUE(WaitFor([&] { return EntryLooks(list, 0, kSkyBlue); }));
  SaveScreenshot("selected_entry");
}

TEST(Gui, ReloadsLeakNothing) {
  // Wine reports no GDI or USER object counts (GetGuiResources gives 0), so
  // the test watches the process's resident memory: a leaked off-screen
  // image, icon or image list per entry and reload adds up to megabytes.
  Process helpers[] = {StartHelper("windows 3 Leak"), StartHelper("windows 3 Leak")};
  App app(CopyExe(TestDir() + "leak", "VorlaneLeak.exe"));
  for (int i = 0; i < 10; ++i) app.Click(kIdReget);
  SendMessageA(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  const long before = ProcessStatusKiB("VorlaneLeak", "VmRSS");
  for (int i = 0; i < 50; ++i) {
    app.Click(kIdReget);
    app.Click(i % 2 ? kIdByProcessId : kIdByFileName);
    SendMessageA(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, i % 2, 0);
  }
  const long after = ProcessStatusKiB("VorlaneLeak", "VmRSS");
  printf("resident memory: %ld KiB before, %ld KiB after 50 reloads\n", before, after);
  EXPECT_GT(before, 0);
  EXPECT_LT(after - before, 1024);
}

TEST(Gui, NineXFamilyListsThroughToolHelpAndKeepsPriorityReadOnly) {
  // Wine reports platform 1 (Windows 98) to a program of this file name.
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Vorlane9x.exe", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
  RegCloseKey(key);
  Process helper = StartHelper("windows 2 Nine");
  SetPriorityClass(helper.Handle(), BELOW_NORMAL_PRIORITY_CLASS);
  App app(CopyExe(TestDir() + "ninex", "Vorlane9x.exe"));
  ASSERT_TRUE(app.form);
  // ToolHelp under Wine names the bare file, which resolves to no file here.
  const std::string prefix = "[ " + std::to_string(helper.Id()) + " :  ] helper.exe";
  int index = -1;
  ASSERT_TRUE(WaitFor([&] {
    app.Click(kIdReget);
    return (index = app.IndexOf(prefix)) >= 0;
  }));
  EXPECT_EQ(app.IndexOf("[ 0 : "), -1);  // no fixed entries on this family
  ASSERT_TRUE(app.SelectEntry(index, helper.Id()));
  HWND combo = app.Ctl(kIdPriority);
  EXPECT_FALSE(IsWindowEnabled(combo));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 4);  // the class read: "通常以下"
  EXPECT_TRUE(IsWindowEnabled(app.Ctl(kIdStop)));
  EXPECT_EQ(TextOf(app.Ctl(kIdFileName)), "helper.exe");
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Vorlane9x.exe");
}

TEST(Gui, StoppingAnApplicationEntryEndsTheWholeProcess) {
  Process helper = StartHelper("windows 2 Whole");
  App app;
  app.Click(kIdReget);
  SendMessageA(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  const int index = app.IndexOf(Prefix(helper.Id()) + " Whole 1");
  ASSERT_GE(index, 0);
  ASSERT_TRUE(app.SelectEntry(index, helper.Id()));
  EXPECT_EQ(TextOf(app.Ctl(kIdMemo)), "Whole 2\r\nWhole 1\r\n");  // all its windows
  app.Click(kIdStop);
  EXPECT_EQ(helper.Wait(5000), 0);
  EXPECT_EQ(SendMessageA(app.Ctl(kIdTabMain), TCM_GETCURSEL, 0, 0), 1);  // the tab stays
  EXPECT_EQ(app.IndexOf(Prefix(helper.Id())), -1);
}

TEST(Gui, SlowWindowsDelayAReloadAndASelectionBoundedly) {
  // 100 windows answering their title after 60 ms each: asking them all
  // would hold every reload and every selection of the helper for 6 s.
  Process helper = StartHelper("slow 100 60 Slow");
  App app;
  const DWORD start = GetTickCount();
  app.Click(kIdReget);
  printf("reload with 100 slow windows: %lu ms\n", GetTickCount() - start);
  const int index = app.IndexOf(Prefix(helper.Id()));
  ASSERT_GE(index, 0);
  SendMessageA(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  int listed = 0, asked = 0;
  for (const std::string& item : app.Items()) {
    if (item.rfind(Prefix(helper.Id()) + " Slow ", 0) != 0) continue;
    ++listed;
    if (item.substr(0, item.find('\r')).find(" asked") != std::string::npos) ++asked;
  }
  EXPECT_EQ(listed, 100);
  EXPECT_LE(asked, 17);  // one second of 60 ms answers; the rest from the kept captions

  SendMessageA(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 0, 0);
  ASSERT_TRUE(app.SelectEntry(app.IndexOf(Prefix(helper.Id())), helper.Id()));
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
  WaitFor([&] {
    ScreenPixels px({before.right - 40, y, after.right - 20, y + 1});
    marked.clear();
    for (int x = before.right - 40; x < after.right - 20; ++x)
      if (px.Pixel(x, y) != face) marked.push_back(x);
    return px.Valid() && marked.empty();
  }, 3000);
  SaveScreenshot("status_after");
  EXPECT_TRUE(marked.empty()) << marked.size() << " pixels off the face colour, first at x="
                              << (marked.empty() ? -1 : marked.front())
                              << "; old right edge at x=" << before.right;
}

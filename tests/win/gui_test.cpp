// The real Vorlane.exe, started and driven from outside its process.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <winternl.h>

#include <algorithm>

#include "app/control_ids.h"
#include "app/texts.h"
#include "harness.h"

using namespace harness;

TEST(Gui, CaptionTextsAndLayout) {
  // Wine draws this copy's frame itself, so that the client area is the
  // designed 632 pixels wide at the smallest outer size.
  RegistryValue framed(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\VorlaneFramed.exe\\X11 Driver",
                       "Decorated", "N");
  App app(CopyExe(TestDir() + "framed", "VorlaneFramed.exe"));
  ASSERT_TRUE(app.form);
  EXPECT_EQ(TextOf(app.form), "Vorlane  Ver. 1.0.2.0");
  EXPECT_NE(FindTitled(app.process.Id(), texts::kAppTitle), nullptr);
  EXPECT_EQ(TextOf(app.Ctl(kIdReget)), texts::kReget);
  EXPECT_EQ(TextOf(app.Ctl(kIdLabelDescription)), "\x90\xE0\x81\x40\x96\xBE");  // "説　明"
  EXPECT_EQ(TextOf(app.Ctl(kIdStop)), texts::kStop);
  EXPECT_EQ(TextOf(app.Ctl(kIdIdProcess)), "");

  RECT base;
  GetClientRect(GetParent(app.Ctl(kIdClose)), &base);
  RECT close = ChildRect(app.Ctl(kIdClose)), link = ChildRect(app.Ctl(kIdLink));
  RECT label = ChildRect(app.Ctl(kIdLabelIdProcess)), id = ChildRect(app.Ctl(kIdIdProcess));
  RECT combo = ChildRect(app.Ctl(kIdPriority)), name = ChildRect(app.Ctl(kIdDisplayName));
  ASSERT_EQ(base.right, 632);  // the layout as the window is designed
  EXPECT_EQ(base.bottom, 172);
  EXPECT_EQ(close.left, 540);
  EXPECT_EQ(close.top, 137);
  EXPECT_EQ(link.top, 102);
  EXPECT_EQ(label.left, 42);
  EXPECT_EQ(combo.left, 447);
  EXPECT_EQ(id.left, label.right + 4);
  EXPECT_EQ(id.right - id.left, (540 - 42) / 2 - 4 - (label.right - label.left));
  for (auto [ctl, top] : {std::pair{kIdDisplayName, 28}, {kIdCompany, 52},
                          {kIdDescription, 76}, {kIdFileName, 100}, {kIdMemo, 124}, {kIdStop, 43}})
    EXPECT_EQ(ChildRect(app.Ctl(ctl)).top, top) << ctl;
  for (int ctl : {kIdDisplayName, kIdCompany, kIdDescription, kIdFileName, kIdMemo})
    EXPECT_EQ(ChildRect(app.Ctl(ctl)).right, 540 - 4) << ctl;
  EXPECT_EQ(ChildRect(app.Ctl(kIdMemo)).bottom, 124 + 44);
  EXPECT_EQ(ChildRect(app.Ctl(kIdIcon)).left, 5);
  EXPECT_EQ(ChildRect(app.Ctl(kIdByProcessId)).left, 132);
  EXPECT_EQ(ChildRect(app.Ctl(kIdByFileName)).left, 256);
  RECT buttons;  // the panel of 再読込 and the two order buttons
  GetWindowRect(GetParent(app.Ctl(kIdByProcessId)), &buttons);
  EXPECT_EQ(buttons.bottom - buttons.top, 33);
  // The design's own figures need the design font, which measures this label
  // 54 pixels wide; its stand-in here (IPA P Gothic) measures 56, so they are
  // checked only where the design font is. The relations above hold with any.
  if (label.right - label.left == 54) {
    EXPECT_EQ(id.left, 100);
    EXPECT_EQ(id.right - id.left, 191);
    EXPECT_EQ(name.right - name.left, 436);
    EXPECT_EQ(label.top, 8);  // centred on its field by its own height
  }
  RECT company;  // the picture once the panel's labels are painted
  GetWindowRect(app.Ctl(kIdLabelCompany), &company);
  EXPECT_TRUE(WaitFor([&] {
    ScreenPixels px(company);
    return px.Valid() && px.Pixel(company.left, company.top) != RGB(0, 0, 0);
  }));
  SaveScreenshot("main_window");
}

TEST(Gui, ResizingKeepsMinimumAndRightColumn) {
  App app;
  SetWindowPos(app.form, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  RECT r;
  ASSERT_TRUE(WaitFor([&] { GetWindowRect(app.form, &r); return r.right - r.left >= 640; }));
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
  Send(appWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
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

TEST(Gui, TabsOrderAndReload) {
  Process helper = StartHelper("windows 3 Gamma");
  App app;
  app.Click(kIdReget);
  EXPECT_GE(app.IndexOf(Prefix(helper.Id())), 0);
  // "[ id : NAME ] ...": image names and process IDs as the entries show them.
  auto names = [](const std::vector<std::string>& entries) {
    std::vector<std::string> out;
    for (const std::string& e : entries) {
      const size_t from = e.find(" : ") + 3;
      out.push_back(e.substr(from, e.find(" ] ") - from));
    }
    return out;
  };
  auto ids = [](const std::vector<std::string>& entries) {
    std::vector<unsigned long> out;
    for (const std::string& e : entries) out.push_back(std::stoul(e.substr(2)));
    return out;
  };
  const auto byId = app.Items();
  // Reloaded past its height, the list shows its scroll bar again.
  const HWND list = app.Ctl(kIdList);
  RECT client;
  GetClientRect(list, &client);
  ASSERT_GT(app.ListCount() * Send(list, LB_GETITEMHEIGHT, 0, 0), client.bottom);
  EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
  const auto idOrder = ids(byId);
  EXPECT_TRUE(std::is_sorted(idOrder.begin(), idOrder.end()));
  // Application tab: the helper's windows in enumeration order.
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  auto items = app.Items();
  std::vector<std::string> mine;
  for (auto& i : items)
    if (i.rfind(Prefix(helper.Id()), 0) == 0) mine.push_back(i.substr(0, i.find('\r')));
  EXPECT_EQ(mine, (std::vector<std::string>{Prefix(helper.Id()) + " Gamma 3",
                                            Prefix(helper.Id()) + " Gamma 2",
                                            Prefix(helper.Id()) + " Gamma 1"}));
  // By image name, compared byte by byte: the process tab's names were not in
  // that order by ID. A reload then keeps the tab and the order.
  app.Click(kIdByFileName);
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 0, 0);
  const auto idNames = names(byId), byName = names(app.Items());
  ASSERT_FALSE(std::is_sorted(idNames.begin(), idNames.end()));
  EXPECT_TRUE(std::is_sorted(byName.begin(), byName.end()));
  EXPECT_TRUE(std::is_permutation(byName.begin(), byName.end(), idNames.begin(), idNames.end()));
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  app.Click(kIdReget);
  EXPECT_EQ(Send(app.Ctl(kIdTabMain), TCM_GETCURSEL, 0, 0), 1);
  const auto after = names(app.Items());
  EXPECT_EQ(after.size(), items.size());
  EXPECT_TRUE(std::is_sorted(after.begin(), after.end()));
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
  EXPECT_EQ(Send(combo, CB_GETCURSEL, 0, 0), 4);  // "通常以下"
  EXPECT_TRUE(IsWindowEnabled(combo));
  EXPECT_FALSE(IsWindowEnabled(app.Ctl(kIdUpdate)));
  SaveScreenshot("details");

  // The user picks "高" and presses "更新(&U)".
  Send(combo, CB_SETCURSEL, 1, 0);
  Send(GetParent(combo), WM_COMMAND, MAKEWPARAM(kIdPriority, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  ASSERT_TRUE(IsWindowEnabled(app.Ctl(kIdUpdate)));
  app.Click(kIdUpdate);
  EXPECT_EQ(GetPriorityClass(helper.Handle()), 0x80u);
  EXPECT_FALSE(IsWindowEnabled(app.Ctl(kIdUpdate)));

  // Arrow keys fill the panel like a click. A click on the neighbour entry
  // gives the list the keyboard focus back (the button took it).
  HWND list = app.Ctl(kIdList);
  const int other = index + 1 < app.ListCount() ? index + 1 : index - 1;
  ASSERT_TRUE(app.SelectEntry(other, IdAt(list, other))) << ItemAt(list, other);
  PressKey(other > index ? VK_UP : VK_DOWN);
  ASSERT_TRUE(WaitFor([&] { return TextOf(app.Ctl(kIdIdProcess)) == std::to_string(helper.Id()); }, 3000))
      << "the arrow key did not bring the helper's entry back";
  EXPECT_EQ(ListSelection(list), index);

  ASSERT_TRUE(IsWindowEnabled(app.Ctl(kIdStop)));
  app.Click(kIdStop);
  EXPECT_EQ(helper.Wait(15000), 0);
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
  DdeServer server(log);
  App app;
  HWND dialog = app.OpenConfirmation();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(TextOf(dialog), texts::kConfirmCaption);
  HWND yes = FindChild(dialog, IDYES), no = FindChild(dialog, IDNO);
  EXPECT_EQ(TextOf(yes), texts::kYes);
  EXPECT_EQ(TextOf(no), texts::kNo);
  // The one-line text is centred on the 32-pixel icon.
  HWND icon = GetWindow(dialog, GW_CHILD), label = GetWindow(icon, GW_HWNDNEXT);
  RECT ri = ChildRect(icon), rl = ChildRect(label);
  EXPECT_EQ(rl.top - ri.top, (32 - (rl.bottom - rl.top)) / 2);
  Send(yes, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(log).size() > 0; }));
  EXPECT_EQ(ReadFileBytes(log), std::string("\"") + texts::kHomePage + "\",,-1,,,,," + '\0');
}

namespace {
// A point on the background of entry `index`, right of its text, on screen.
POINT EntryBackground(HWND list, int index) {
  RECT r;
  Send(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
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
  Send(list, LB_SETTOPINDEX, 0, 0);
  ASSERT_GE(app.ListCount(), 3);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  POINT first = EntryBackground(list, 0), second = EntryBackground(list, 1);

  MovePointer(first.x, first.y);
  EXPECT_TRUE(WaitFor([&] { return EntryLooks(list, 0, kMoneyGreen); }));
  MovePointer(second.x, second.y);
  EXPECT_TRUE(WaitFor([&] { return EntryLooks(list, 1, kMoneyGreen) && EntryLooks(list, 0, window); }));
  SaveScreenshot("hot_entry");

  // A pointer at rest stops the looks; a scroll beneath it brings them back.
  Pump(1500);
  Send(list, LB_SETTOPINDEX, 1, 0);
  ASSERT_EQ(Send(list, LB_GETTOPINDEX, 0, 0), 1) << "too few entries to scroll";
  EXPECT_TRUE(WaitFor([&] { return EntryLooks(list, 2, kMoneyGreen) && EntryLooks(list, 1, window); }));
  Send(list, LB_SETTOPINDEX, 0, 0);

  // Leaving the list takes the hot look away.
  RECT status;
  GetWindowRect(app.Ctl(kIdStatusBar), &status);
  MovePointer(status.left + 40, (status.top + status.bottom) / 2);
  EXPECT_TRUE(WaitFor([&] { return EntryLooks(list, 1, window); }));

  // A click selects: the entry turns sky blue once the pointer is gone.
  ASSERT_TRUE(app.SelectEntry(0, IdAt(list, 0)));
  MovePointer(status.left + 40, (status.top + status.bottom) / 2);
  EXPECT_TRUE(WaitFor([&] { return EntryLooks(list, 0, kSkyBlue); }));
  SaveScreenshot("selected_entry");
}

namespace {
// The windows (USER objects) of process `pid`, each top-level one with its descendants.
BOOL CALLBACK CountOne(HWND, LPARAM n) { return ++*reinterpret_cast<long*>(n), TRUE; }
long WindowsOf(DWORD pid) {
  long n = 0;
  for (HWND w : TopWindows(pid)) {
    ++n;
    EnumChildWindows(w, CountOne, reinterpret_cast<LPARAM>(&n));
  }
  return n;
}
}  // namespace

TEST(Gui, ReloadsLeakNothing) {
  // Wine reports no GDI or USER object counts (GetGuiResources gives 0): the
  // test counts the program's GDI objects in its handle table and its
  // windows, and watches its resident memory. An icon leaks its bitmaps.
  Process helpers[] = {StartHelper("windows 3 Leak"), StartHelper("windows 3 Leak")};
  // The mark finds this process's memory, not another copy's on the machine.
  const std::string mark = UniqueMark();
  App app(CopyExe(TestDir() + "leak", "VorlaneLeak.exe"), mark);
  ASSERT_TRUE(app.form);
  for (int i = 0; i < 10; ++i) app.Click(kIdReget);
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  // The GDI count first: reading the table (1.5 MB in 64 bits) makes its
  // pages resident in the program, which must not count as growth.
  const long gdiBefore = GdiObjects(app.process.Handle()), before = ProcessStatusKiB(mark, "VmRSS");
  const long windowsBefore = WindowsOf(app.process.Id());
  for (int i = 0; i < 50; ++i) {
    app.Click(kIdReget);
    app.Click(i % 2 ? kIdByProcessId : kIdByFileName);
    Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, i % 2, 0);
  }
  const long after = ProcessStatusKiB(mark, "VmRSS"), gdiAfter = GdiObjects(app.process.Handle());
  printf("resident memory: %ld KiB before, %ld KiB after 50 reloads; GDI objects %ld, %ld; "
         "windows %ld, %ld\n", before, after, gdiBefore, gdiAfter, windowsBefore, WindowsOf(app.process.Id()));
  EXPECT_GT(before, 0);
  EXPECT_LT(after - before, 1024);
  EXPECT_GT(gdiBefore, 0);
  EXPECT_LT(gdiAfter - gdiBefore, 25);  // one object kept per reload would be 50
  EXPECT_EQ(WindowsOf(app.process.Id()), windowsBefore);
}

TEST(Gui, StoppingAnApplicationEntryEndsTheWholeProcess) {
  Process helper = StartHelper("windows 2 Whole");
  App app;
  app.Click(kIdReget);
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  const int index = app.IndexOf(Prefix(helper.Id()) + " Whole 1");
  ASSERT_GE(index, 0);
  ASSERT_TRUE(app.SelectEntry(index, helper.Id()));
  EXPECT_EQ(TextOf(app.Ctl(kIdMemo)), "Whole 2\r\nWhole 1\r\n");  // all its windows
  app.Click(kIdStop);
  EXPECT_EQ(helper.Wait(15000), 0);
  EXPECT_EQ(Send(app.Ctl(kIdTabMain), TCM_GETCURSEL, 0, 0), 1);  // the tab stays
  EXPECT_EQ(app.IndexOf(Prefix(helper.Id())), -1);
}

namespace {

// The name an accessibility client reads for a window, as code page 932 bytes.
std::string AccessibleName(HWND w) {
  IAccessible* acc = nullptr;
  // __uuidof: x64 MinGW links IID_IAccessible to its import thunk, not the IID.
  if (FAILED(AccessibleObjectFromWindow(w, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&acc))))
    return "(no accessible object)";
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::string text;
  if (acc->get_accName(self, &name) == S_OK && name) {
    char buf[512] = {};
    WideCharToMultiByte(932, 0, name, -1, buf, sizeof buf - 1, nullptr, nullptr);
    text = buf;
  }
  SysFreeString(name);
  acc->Release();
  return text;
}

}  // namespace

TEST(Gui, ScreenReadersNameEachDetailTheImagesAndTheSelectedEntry) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  Process helper = StartHelper("windows 2 Reader");
  App app;
  app.Click(kIdReget);

  // Windows' proxies name an edit (and a combo box) after the label right
  // before it in z-order; Wine's client names the edits the same way.
  const struct {
    int label, control;
    const char* text;
  } rows[] = {{kIdLabelIdProcess, kIdIdProcess, "プロセスID"},
              {kIdLabelDisplayName, kIdDisplayName, "イメージ名"},
              {kIdLabelCompany, kIdCompany, "会社名"},
              {kIdLabelDescription, kIdDescription, "説　明"},
              {kIdLabelFileName, kIdFileName, "実ファイル"},
              {kIdLabelPriority, kIdPriority, "優先度"}};
  for (const auto& row : rows) {
    EXPECT_EQ(TextOf(app.Ctl(row.label)), row.text);
    EXPECT_EQ(GetWindow(app.Ctl(row.control), GW_HWNDPREV), app.Ctl(row.label)) << row.text;
    if (row.control != kIdPriority) EXPECT_EQ(AccessibleName(app.Ctl(row.control)), row.text);
  }
  EXPECT_EQ(AccessibleName(app.Ctl(kIdLink)), "Kestraneへアクセスします");
  EXPECT_EQ(AccessibleName(app.Ctl(kIdIcon)), "アイコン");

  // The selected entry is the system list box's selection and caret, and
  // its text the three lines the list shows.
  const int index = app.IndexOf(Prefix(helper.Id()));
  ASSERT_GE(index, 0);
  ASSERT_TRUE(app.SelectEntry(index, helper.Id()));
  HWND list = app.Ctl(kIdList);
  EXPECT_EQ(Send(list, LB_GETCURSEL, 0, 0), index);
  EXPECT_EQ(Send(list, LB_GETCARETINDEX, 0, 0), index);
  EXPECT_EQ(app.Items()[index], Prefix(helper.Id()) + " " + TestDir() + "helper.exe" +
                                    texts::kCompanyLine + texts::kDescriptionLine);
  CoUninitialize();
}

// Texts from everywhere: the window's Japanese under other system code pages
// (the program started from the machine's shell under another locale, and
// copies whose manifest asks for UTF-8 or for no code page), and names and
// titles that code page 932 cannot hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/control_ids.h"
#include "crafted_exe.h"
#include "harness.h"
#include "tests/native/version_block_builder.h"

using namespace harness;

namespace {

std::string BuildWinDir() {
  const std::string exe = VorlaneExe();
  return exe.substr(0, exe.find_last_of('\\') + 1);
}

// A window's text in UTF-16, as a wide reader (a screen reader) asks for it.
std::wstring WideTextOf(HWND w) {
  wchar_t buf[512] = {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &n))
    return L"(no answer)";
  return std::wstring(buf, std::min<size_t>(n, 511));
}

// One item of another process's list or combo box in UTF-16; a text longer
// than the buffer is a failure, unread.
std::wstring WideItem(HWND w, UINT lenMsg, UINT textMsg, int i) {
  wchar_t buf[1024] = {};
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(w, lenMsg, i, 0, SMTO_ABORTIFHUNG, 5000, &len) || len >= 1024) {
    ADD_FAILURE() << "item " << i << " not read (" << len << " characters)";
    return {};
  }
  DWORD_PTR got = 0;
  SendMessageTimeoutW(w, textMsg, i, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &got);
  return std::wstring(buf, std::min<size_t>(got, len));
}

// The pixels of a window's rectangle with `hole` (screen coordinates) left out.
std::vector<COLORREF> PixelsOf(HWND w, const RECT& hole) {
  RECT r;
  GetWindowRect(w, &r);
  const ScreenPixels px(r);
  EXPECT_TRUE(px.Valid());
  std::vector<COLORREF> out;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const POINT p{x, y};
      out.push_back(PtInRect(&hole, p) ? 0 : px.Pixel(x, y));
    }
  return out;
}

// The program started from the machine's shell with `locale`, the system
// code page Wine gives a process; found by its window, closed at the end.
struct LocaleRun {
  HWND form = nullptr;
  base::UniqueHandle process;

  LocaleRun(const std::string& exe, const std::string& locale) {
    EXPECT_EQ(FindWindowA("TForm1", nullptr), nullptr) << "a copy already runs";
    RunUnix("/bin/sh -c \"LANG=" + locale + " LC_ALL=" + locale + " /usr/bin/wine '" +
            UnixPath(exe) + "' >/dev/null 2>&1 &\"");
    EXPECT_TRUE(WaitFor([&] {
      form = FindWindowA("TForm1", nullptr);
      return form && SendMessageA(FindChild(form, kIdList), LB_GETCOUNT, 0, 0) > 0;
    }, 30000)) << exe << " under " << locale << " showed no filled list";
    DWORD pid = 0;
    GetWindowThreadProcessId(form, &pid);
    process.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, pid));
    EXPECT_EQ(WaitForInputIdle(process.get(), 20000), 0u);
  }
  ~LocaleRun() {
    if (form) PostMessageA(form, WM_CLOSE, 0, 0);
    if (process && WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "the program did not end after WM_CLOSE";
      TerminateProcess(process.get(), 1);
    }
  }
  HWND Ctl(int id) const { return FindChild(form, id); }
  DWORD Pid() const { return GetProcessId(process.get()); }
};

// What a run shows: the pixels of its window (the list left out: its
// entries name the run's own process), of its entry menu and of its
// confirmation, each captured while it is in front.
struct Shown {
  std::vector<COLORREF> window, menu, dialog;
};

HWND TopWindowOf(DWORD pid, const char* cls) {
  HWND found = nullptr;
  EXPECT_TRUE(WaitFor([&] {
    found = FindTopWindow(pid, cls);
    return found && IsWindowVisible(found);
  })) << cls;
  return found;
}

// Checks every text the run shows in wide form and captures its pixels.
Shown CheckRun(const LocaleRun& run, const std::string& name) {
  SCOPED_TRACE(name);
  const std::pair<int, const wchar_t*> texts[] = {
      {kIdLabelIdProcess, L"プロセスID"}, {kIdLabelDisplayName, L"イメージ名"},
      {kIdLabelCompany, L"会社名"},      {kIdLabelDescription, L"説　明"},
      {kIdLabelFileName, L"実ファイル"},  {kIdLabelPriority, L"優先度"},
      {kIdReget, L"再読込(&R)"},          {kIdByProcessId, L"プロセスID"},
      {kIdByFileName, L"イメージ名"},     {kIdUpdate, L"更新(&U)"},
      {kIdStop, L"停止(E)"},              {kIdClose, L"閉じる(&C)"},
      {kIdIcon, L"アイコン"},             {kIdLink, L"Kestraneへアクセスします"},
      {kIdStatusBar, L"Vorlane - プロセスとアプリケーションの一覧　Copyright (C) Kestrane"}};
  for (const auto& [id, text] : texts) EXPECT_EQ(WideTextOf(run.Ctl(id)), text) << id;
  EXPECT_EQ(WideTextOf(run.form), L"Vorlane  Ver. 1.0.2.0");
  const wchar_t* priorities[] = {L"リアルタイム", L"高", L"通常以上", L"通常", L"通常以下", L"低"};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(WideItem(run.Ctl(kIdPriority), CB_GETLBTEXTLEN, CB_GETLBTEXT, i), priorities[i]);
  HWND list = run.Ctl(kIdList);
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const std::wstring entry = WideItem(list, LB_GETTEXTLEN, LB_GETTEXT, i);
    EXPECT_NE(entry.find(L" ] "), std::wstring::npos) << i;
    EXPECT_NE(entry.find(L"\r\n　　会社："), std::wstring::npos) << i;
    EXPECT_NE(entry.find(L"\r\n　　説明："), std::wstring::npos) << i;
  }

  Shown shown;
  MovePointer(2, 2);  // no hot tab or button
  SetForegroundWindow(run.form);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == run.form; }));
  RECT hole;
  GetWindowRect(list, &hole);
  shown.window = PixelsOf(run.form, hole);
  SaveScreenshot("text_" + name);
  // The first entry's menu, asked for from the keyboard.
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  PostMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);
  if (HWND menu = TopWindowOf(run.Pid(), "#32768")) {
    shown.menu = PixelsOf(menu, {});
    SaveScreenshot("text_menu_" + name);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }));
  }
  HWND link = run.Ctl(kIdLink);
  PostMessageA(link, WM_LBUTTONDOWN, 0, 0);
  PostMessageA(link, WM_LBUTTONUP, 0, 0);
  if (HWND dialog = TopWindowOf(run.Pid(), "TMessageForm")) {
    EXPECT_EQ(WideTextOf(dialog), L"確認");
    std::vector<std::wstring> children;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      children.push_back(WideTextOf(c));
    EXPECT_EQ(children, (std::vector<std::wstring>{L"", L"Kestraneへアクセスしますか？", L"はい(&Y)", L"いいえ(&N)"}));
    shown.dialog = PixelsOf(dialog, {});
    SaveScreenshot("text_dialog_" + name);
    PostMessageA(dialog, WM_COMMAND, IDNO, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDNO)));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  }
  return shown;
}

}  // namespace

// Under each locale, the program whose manifest asks for code page 932 (which
// Wine grants, as Windows 11 does) shows what the copies asking for none (the
// system's 1252 or 936) or for UTF-8 (65001, as Windows 10 with its UTF-8
// setting) must show too: their texts come only through the wide calls.
TEST(Text, JapaneseUnderEveryCodePage) {
  const std::string dir = BuildWinDir();
  const std::pair<const char*, std::vector<const char*>> runs[] = {
      {"en_US.UTF-8", {"Vorlane.exe", "Vorlane-acp.exe", "Vorlane-utf8.exe"}},
      {"zh_CN.UTF-8", {"Vorlane.exe", "Vorlane-acp.exe"}}};
  for (const auto& [locale, exes] : runs) {
    Shown reference;
    for (const char* exe : exes) {
      const std::string name = std::string(exe) + "_" + locale;
      Shown shown;
      {
        LocaleRun run(dir + exe, locale);
        ASSERT_TRUE(run.form && run.process) << name;
        shown = CheckRun(run, name);
      }
      if (reference.window.empty()) {
        reference = std::move(shown);
        continue;
      }
      EXPECT_TRUE(shown.window == reference.window) << name << ": the window looks otherwise";
      EXPECT_TRUE(shown.menu == reference.menu) << name << ": the menu looks otherwise";
      EXPECT_TRUE(shown.dialog == reference.dialog) << name << ": the confirmation looks otherwise";
    }
  }
}

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
#include "keys_app.h"
#include "tests/native/version_block_builder.h"
#include "ui/gdi.h"

#include <psapi.h>

using namespace harness;

namespace {

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
  if (!SendMessageTimeoutW(w, lenMsg, i, 0, SMTO_ABORTIFHUNG, 5000, &len) ||
      static_cast<LRESULT>(len) == LB_ERR)
    return {};  // fewer items now: a reload refilled the list
  if (len >= 1024) {
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

// The main windows of the copies of the program run from `exe`.
std::vector<HWND> FormsOf(const std::string& exe) {
  std::vector<HWND> forms;
  for (HWND w = FindWindowExA(nullptr, nullptr, "TForm1", nullptr); w;
       w = FindWindowExA(nullptr, w, "TForm1", nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    base::UniqueHandle p(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    char path[MAX_PATH * 2] = {};
    if (p && GetModuleFileNameExA(p.get(), nullptr, path, sizeof path) && lstrcmpiA(path, exe.c_str()) == 0)
      forms.push_back(w);
  }
  return forms;
}

HWND FormOf(const std::string& exe) {
  const std::vector<HWND> forms = FormsOf(exe);
  return forms.empty() ? nullptr : forms[0];
}

// The program started from the machine's shell with `locale`, the system
// code page Wine gives a process; found by its window, closed at the end.
struct LocaleRun {
  HWND form = nullptr;
  base::UniqueHandle process;

  LocaleRun(const std::string& exe, const std::string& locale) {
    EXPECT_EQ(FormOf(exe), nullptr) << "a copy already runs";
    RunUnix("/bin/sh -c \"LANG=" + locale + " LC_ALL=" + locale + " " + kUnixWine + " '" +
            UnixPath(exe) + "' >/dev/null 2>&1 &\"");
    EXPECT_TRUE(WaitFor([&] {
      form = FormOf(exe);
      return form && Send(FindChild(form, kIdList), LB_GETCOUNT) > 0;
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

// The pixels of a run's window (not its list: its entries name the run's own
// process), of its entry menu and of its confirmation, each in front.
struct Shown {
  std::vector<COLORREF> window, menu, dialog;
};

HWND TopWindowOf(DWORD pid, const char* cls) {
  HWND w = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (w = FindTopWindow(pid, cls)) && IsWindowVisible(w); })) << cls;
  return w;
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
  const int count = static_cast<int>(SendW(list, LB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    const std::wstring entry = WideItem(list, LB_GETTEXTLEN, LB_GETTEXT, i);
    EXPECT_NE(entry.find(L" ] "), std::wstring::npos) << i;
    EXPECT_NE(entry.find(L"\r\n　　会社："), std::wstring::npos) << i;
    EXPECT_NE(entry.find(L"\r\n　　説明："), std::wstring::npos) << i;
  }

  Shown shown;
  MovePointer(2, 2);  // no hot tab or button
  EXPECT_TRUE(BringForward(run.form));
  RECT hole;
  GetWindowRect(list, &hole);
  shown.window = PixelsOf(run.form, hole);
  SaveScreenshot("text_" + name);
  // The first entry's menu, asked for from the keyboard.
  Send(list, LB_SETCURSEL, 0, 0);
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
  const std::string dir = VorlaneExe().substr(0, VorlaneExe().find_last_of('\\') + 1);
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

// "Vorlane×.exe" on the 9x family (found by ToolHelp's names only), under code page 1252
// (C.UTF-8): "×" is 0xD7 there, in code page 932 a katakana. A second start hands over and ends.
TEST(Text, ANinexCopyUnderCodePage1252IsFoundByItsName) {
  if (sizeof(void*) == 8) GTEST_SKIP() << "the 9x family runs no 64-bit program";
  const std::string name = "Vorlane\x81\x7E.exe", rc = TestDir() + "ninex1252\\second.rc";
  RegistryValue win98(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + name, "Version", "win98");
  const std::string exe = CopyExe(TestDir() + "ninex1252", name);  // made again without the ja-JP manifest:
  ASSERT_TRUE(CopyFileA((VorlaneExe().substr(0, VorlaneExe().size() - 11) + "Vorlane-acp.exe").c_str(), exe.c_str(), FALSE));
  LocaleRun first(exe, "C.UTF-8");
  ASSERT_TRUE(first.form);
  DeleteFileA(rc.c_str());
  RunUnix("/bin/sh -c \"(LANG=C.UTF-8 LC_ALL=C.UTF-8 " + std::string(kUnixWine) + " '" + UnixPath(exe) +
          "' >/dev/null 2>&1; echo $? > '" + UnixPath(rc) + "') &\"");
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(rc) == "0\n"; }, 30000)) << "the second start did not end";
  const std::vector<HWND> forms = FormsOf(exe);
  for (HWND w : forms)
    if (w != first.form) PostMessageA(w, WM_CLOSE, 0, 0);
  DeleteFileA(rc.c_str());
  EXPECT_EQ(forms.size(), 1u) << "a second copy ran";
}

namespace {

int IndexOfWide(HWND list, const std::wstring& prefix) {
  const int n = static_cast<int>(SendW(list, LB_GETCOUNT));
  for (int i = 0; i < n; ++i)
    if (WideItem(list, LB_GETTEXTLEN, LB_GETTEXT, i).rfind(prefix, 0) == 0) return i;
  return -1;
}

}  // namespace

// A program whose folder is named in Hangul with an accented letter, and
// whose own name has that letter too; a window titled in Cyrillic with an
// emoji; a character sent (not typed) to the list.
TEST(Text, TrueNamesOfAProgramAndAWindowAndASentCharacter) {
  const std::wstring dir = Wide(TestDir()) + L"\uD55C\uAE00\u00E9";
  const std::wstring path = dir + L"\\h\u00E9lper.exe";
  const std::string crafted = TestDir() + "true_name.exe";
  ASSERT_TRUE(crafted::MakeProgram(crafted, {vblock::SoundBlock("Hangul Co", "Hangul Desc"), crafted::IconGroup(1, 1)}));
  CreateDirectoryW(dir.c_str(), nullptr);
  ASSERT_TRUE(MoveFileExW(Wide(crafted).c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
  Process program;
  ASSERT_TRUE(program.Start(L"\"" + path + L"\" windows 1 Crafted"));
  ASSERT_TRUE(WaitReady(program));
  const std::string katakana = TestDir() + "アプリ.exe";
  ASSERT_TRUE(CopyFileA((TestDir() + "helper.exe").c_str(), katakana.c_str(), FALSE));
  Process apuri;
  ASSERT_TRUE(apuri.Start("\"" + katakana + "\" windows 1 Apuri"));
  // Two names whose second characters code page 932 cannot hold: "?" both.
  Process hangul[2];
  const wchar_t* hangulNames[2] = {L"a\uD55C.exe", L"a\uAE00.exe"};  // a한, a글
  for (int i : {0, 1})
    ASSERT_TRUE(CopyFileW(Wide(TestDir() + "helper.exe").c_str(), (Wide(TestDir()) + hangulNames[i]).c_str(), FALSE) &&
                hangul[i].Start(L"\"" + Wide(TestDir()) + hangulNames[i] + L"\" windows 1 Hangul"));
  const wchar_t* title = L"\u041F\u0440\u0438\u0432\u0435\u0442 \xD83D\xDE00";
  const ui::UniqueWindow window(CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);

  App app;
  HWND list = app.Ctl(kIdList);
  const std::wstring id = std::to_wstring(program.Id());
  const std::wstring entry = L"[ " + id + L" : h\u00E9lper.exe ] " + path +
                             L"\r\n　　会社：Hangul Co\r\n　　説明：Hangul Desc";
  int index = -1;
  ASSERT_TRUE(WaitFor([&] { return (index = IndexOfWide(list, L"[ " + id + L" : ")) >= 0; }));
  EXPECT_EQ(WideItem(list, LB_GETTEXTLEN, LB_GETTEXT, index), entry);
  ASSERT_TRUE(app.SelectEntry(index, program.Id()));
  EXPECT_EQ(WideTextOf(app.Ctl(kIdDisplayName)), L"h\u00E9lper.exe");
  EXPECT_EQ(WideTextOf(app.Ctl(kIdFileName)), path);
  EXPECT_EQ(WideTextOf(app.Ctl(kIdCompany)), L"Hangul Co");
  EXPECT_EQ(WideTextOf(app.Ctl(kIdDescription)), L"Hangul Desc");
  RECT icon;
  GetWindowRect(app.Ctl(kIdIcon), &icon);
  const ScreenPixels px(icon);
  EXPECT_EQ(px.Pixel((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2), RGB(255, 0, 0));  // its own

  // The Unicode copy holds the true text; the code page 932 copy "?" for what it cannot hold.
  ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
  const ClipboardLeftEmpty leftEmpty;
  keys::Chord({VK_CONTROL, 'C'});
  ASSERT_TRUE(WaitFor([] { return IsClipboardFormatAvailable(CF_TEXT) && OpenClipboard(nullptr) && CloseClipboard(); }));
  EXPECT_EQ(ClipboardText<wchar_t>(CF_UNICODETEXT), L"プロセスID：" + id + L"\r\nイメージ名：h\u00E9lper.exe\r\n"
                                           L"会社名：Hangul Co\r\n説　明：Hangul Desc\r\n実ファイル：" +
                                           path + L"\r\nCrafted 1\r\n");
  EXPECT_EQ(ClipboardText<char>(CF_TEXT), "プロセスID：" + std::to_string(program.Id()) +
                                 "\r\nイメージ名：h?lper.exe\r\n会社名：Hangul Co\r\n説　明：Hangul Desc\r\n"
                                 "実ファイル：" + TestDir() + "???\\h?lper.exe\r\nCrafted 1\r\n");

  // ア (U+30A2) sent as a wide character finds アプリ.exe, as typing it would.
  const int apuriIndex = IndexOfWide(list, L"[ " + std::to_wstring(apuri.Id()) + L" : アプリ.exe ]");
  ASSERT_GE(apuriIndex, 0);
  DWORD_PTR r = 0;
  SendMessageTimeoutW(list, WM_CHAR, 0x30A2, 0, SMTO_ABORTIFHUNG, 5000, &r);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == apuriIndex; }));
  // From just before a한.exe, "a" finds it; "a글" then finds a글.exe, not a한.exe again.
  int hangulIndex[2];
  for (int i : {0, 1})
    hangulIndex[i] = IndexOfWide(list, L"[ " + std::to_wstring(hangul[i].Id()) + L" : " + hangulNames[i] + L" ]");
  ASSERT_TRUE(hangulIndex[0] > 0 && hangulIndex[1] >= 0);
  ASSERT_TRUE(app.SelectEntry(hangulIndex[0] - 1, IdAt(list, hangulIndex[0] - 1)));
  // Posted, as typing comes, after the pause that ends the text "ア".
  const DWORD typed = GetTickCount();
  ASSERT_TRUE(WaitFor([&] { return GetTickCount() - typed > 1100; }, 2000));
  PostMessageW(list, WM_CHAR, L'a', 0);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == hangulIndex[0]; }));
  PostMessageW(list, WM_CHAR, 0xAE00, 0);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == hangulIndex[1]; }));
  // Its menu is the menu of the program in the Hangul folder: プロパティ
  // opens that program's real file too.
  auto menuPixels = [&] {
    PostMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);
    HWND menu = TopWindowOf(app.process.Id(), "#32768");
    if (!menu) return std::vector<COLORREF>{};
    const std::vector<COLORREF> px = PixelsOf(menu, {});
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }));
    return px;
  };
  const std::vector<COLORREF> apuriMenu = menuPixels();
  ASSERT_TRUE(app.SelectEntry(index, program.Id()));
  EXPECT_FALSE(apuriMenu.empty());
  EXPECT_TRUE(menuPixels() == apuriMenu) << "the menus of two programs with files differ";

  // The window's entry and panel hold its title; switching to it works.
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  const std::wstring own = std::to_wstring(GetCurrentProcessId());
  int windowIndex = -1;
  ASSERT_TRUE(WaitFor([&] { return (windowIndex = IndexOfWide(list, L"[ " + own + L" : ")) >= 0; }));
  const std::wstring windowEntry = WideItem(list, LB_GETTEXTLEN, LB_GETTEXT, windowIndex);
  EXPECT_EQ(windowEntry.substr(0, windowEntry.find(L"\r\n")), L"[ " + own + L" : gui_tests.exe ] " + title);
  ASSERT_TRUE(app.SelectEntry(windowIndex, GetCurrentProcessId()));
  EXPECT_EQ(WideTextOf(app.Ctl(kIdMemo)), std::wstring(title) + L"\r\n");
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == window.get(); }));
  SaveScreenshot("text_true_title");
}

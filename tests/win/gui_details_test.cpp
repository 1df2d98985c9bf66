// The details window of the real Vorlane.exe, opened with real keys on a
// story helper whose every fact the test set up or the helper reports of
// itself from inside; read from outside with bounded sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/details/details_fields.h"
#include "base/text.h"
#include "harness.h"
#include "keys_app.h"

using namespace harness;
using namespace keys;

namespace {

constexpr int kFirstField = kIdDetailsField, kModules = kIdDetailsModules;

// A field's text in UTF-16, read into a fixed buffer.
std::wstring FieldText(HWND w) {
  static wchar_t buf[8192];
  const LRESULT n = SendW(w, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buf));
  return n > 0 && n < 8192 ? std::wstring(buf, static_cast<size_t>(n)) : std::wstring();
}

std::wstring Field(HWND details, int f) { return FieldText(FindChild(details, kFirstField + f)); }

// The handle count the system's process list gives `pid`, read here from
// the layout of this test's width (Wine 8 counts the size of the handle
// table); -1 where the list or the process is not there.
double ListedHandles(DWORD pid) {
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<unsigned char> list(8 << 20);
  if (!query || query(5, list.data(), static_cast<ULONG>(list.size()), nullptr) < 0) return -1;
  constexpr bool kWide = sizeof(void*) == 8;
  constexpr size_t kId = kWide ? 80 : 68, kHandles = kWide ? 96 : 76;
  for (size_t at = 0; at + kHandles + 4 <= list.size();) {
    DWORD next, id, handles;
    memcpy(&next, &list[at], 4);
    memcpy(&id, &list[at + kId], 4);
    memcpy(&handles, &list[at + kHandles], 4);
    if (id == pid) return handles;
    if (next == 0) break;
    at += next;
  }
  return -1;
}

// The figure in "65,536 KB", or from `from` on ("12 回 / 10,485,760 バイト").
double Number(std::wstring text, size_t from = 0) {
  std::erase(text, L',');
  return std::wcstod(text.c_str() + std::min(from, text.size()), nullptr);
}

// `shown` (KB, or bytes with `unit` 1) within 10 % of the report's line.
bool Within(double shown, const std::wstring& reported, double unit = 1024) {
  const double expected = std::wcstod(reported.c_str(), nullptr);
  return shown * unit >= expected * 0.9 && shown * unit <= expected * 1.1;
}

std::wstring Widened(const std::string& cp932) {
  wchar_t buf[4096] = {};
  const int n = MultiByteToWideChar(932, 0, cp932.c_str(), -1, buf, 4096);
  return n > 0 ? std::wstring(buf, static_cast<size_t>(n - 1)) : std::wstring();
}

std::vector<std::wstring> ReportLines(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  std::wstring text(bytes.size() / 2, L'\0');
  memcpy(text.data(), bytes.data(), text.size() * 2);
  const std::vector<std::wstring_view> lines = SplitLines(text);
  return {lines.begin(), lines.end()};
}

// 64-bit Windows has the WOW64 query for a 64-bit process's PEB; Wine 8 has none.
bool Wow64QueryExists() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtWow64QueryInformationProcess64") != nullptr;
}

bool SixtyFourBitPrefix() {
  BOOL wow = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

// The story helper of the prefix's width, its library, and a folder of its own.
struct StoryFiles {
  std::string folder = TestDir() + "作業 フォルダー";
  std::string exe = SixtyFourBitPrefix() ? TestDir() + "..\\..\\win64\\story64.exe" : TestDir() + "story.exe";
  std::string dll = SixtyFourBitPrefix() ? TestDir() + "..\\..\\win64\\story_dll64.dll" : TestDir() + "story_dll.dll";
  std::string report = folder + "\\report.txt";
  StoryFiles() { CreateDirectoryA(folder.c_str(), nullptr); }
  ~StoryFiles() {
    DeleteFileA(report.c_str());
    RemoveDirectoryA(folder.c_str());
  }
};

// The details windows of the program under test.
std::vector<HWND> DetailsWindows(const App& app) {
  std::vector<HWND> found;
  for (HWND w : TopWindows(app.process.Id())) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "TDetails") == 0 && IsWindowVisible(w)) found.push_back(w);
  }
  return found;
}

// The shown details window of process `pid`: its title ends with "(pid)".
HWND DetailsOf(const App& app, DWORD pid) {
  const std::string tail = "(" + std::to_string(pid) + ")";
  for (HWND w : DetailsWindows(app))
    if (TextOf(w).ends_with(tail)) return w;
  return nullptr;
}

// Selects the process's entry with a click and opens its details with
// Alt+Enter, or from the entry menu (Shift+F10, D).
// Details windows already open are moved off the list first: owned by the
// main window, they stay in front of it.
HWND OpenDetails(const App& app, DWORD pid, bool byMenu = false) {
  for (HWND w : DetailsWindows(app))
    SetWindowPos(w, nullptr, GetSystemMetrics(SM_CXSCREEN) - 40, GetSystemMetrics(SM_CYSCREEN) - 40, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  int index = -1;
  if (!WaitFor([&] {
        app.Click(kIdReget);
        return (index = app.IndexOf("[ " + std::to_string(pid) + " : ")) >= 0;
      }) ||
      !app.SelectEntry(index, pid))
    return nullptr;
  Chord(byMenu ? std::vector<WORD>{VK_SHIFT, VK_F10} : std::vector<WORD>{VK_MENU, VK_RETURN});
  if (byMenu && WaitFor([&] { return IsWindowVisible(FindTopWindow(app.process.Id(), "#32768")); }))
    PressKey('D');
  HWND details = nullptr;
  // Open once its figures and its module list (read off its thread) are in.
  return WaitFor([&] {
           if (!(details = DetailsOf(app, pid)) || Field(details, kDfThreads).empty()) return false;
           const std::wstring modules = FieldText(FindChild(details, kModules));
           return !modules.empty() && modules != L"読み込み中";
         })
             ? details
             : nullptr;
}

}  // namespace

TEST(Details, EveryFieldOfAStoryHelperAsItKnowsItself) {
  ClipboardLeftEmpty clipboardAfter;
  StoryFiles files;
  const std::string line = "\"" + files.exe + "\" story \"" + files.report + "\" \"" + files.dll +
                           "\" \"日本語 の 引数\" say\\\"hi\\\" ";
  const std::string padded = line + std::string(2000 - Widened(line).size(), 'x');
  SYSTEMTIME before;
  GetLocalTime(&before);
  Process story;
  ASSERT_TRUE(story.Start(padded, 0, SW_SHOWNORMAL, files.folder));
  ASSERT_TRUE(WaitReady(story));
  const std::vector<std::wstring> report = ReportLines(files.report);
  ASSERT_EQ(report.size(), 8u);
  ASSERT_EQ(report[0].size(), 2000u);

  KeysApp app;
  ASSERT_TRUE(app.form);
  HWND details = OpenDetails(app, story.Id());
  ASSERT_TRUE(details);
  const bool paramsReadable = !SixtyFourBitPrefix() || Wow64QueryExists();
  const std::wstring commandLine = paramsReadable ? report[0] : L"読み取れません";
  EXPECT_EQ(Field(details, kDfCommandLine), commandLine);
  // The block keeps the folder's closing separator.
  EXPECT_EQ(Field(details, kDfFolder), paramsReadable ? report[1] + L"\\" : L"読み取れません");
  EXPECT_EQ(Field(details, kDfImageName), SixtyFourBitPrefix() ? L"story64.exe" : L"story.exe");
  const std::wstring parent = Field(details, kDfParent);
  EXPECT_EQ(parent, L"gui_tests.exe (" + std::to_wstring(GetCurrentProcessId()) + L")");
  const bool wideSubject = SixtyFourBitPrefix() || sizeof(void*) == 8;
  EXPECT_EQ(Field(details, kDfBits), wideSubject ? L"64 ビット" : L"32 ビット");
  wchar_t user[256] = {};
  DWORD userSize = 256;
  ASSERT_TRUE(GetUserNameW(user, &userSize));
  EXPECT_TRUE(Field(details, kDfUser).ends_with(L"\\" + std::wstring(user)));
  EXPECT_EQ(Field(details, kDfPriority), L"通常");
  wchar_t minute[32];
  swprintf(minute, 32, L"%04d/%02d/%02d %02d:%02d", before.wYear, before.wMonth, before.wDay,
           before.wHour, before.wMinute);
  EXPECT_TRUE(Field(details, kDfStarted).starts_with(minute)) << "within the minute it was started";
  EXPECT_EQ(Field(details, kDfThreads), report[2]);
  // The process list's own count, whatever the handle table holds meanwhile.
  const double listed = ListedHandles(story.Id());
  EXPECT_GE(Number(Field(details, kDfHandles)), 100);
  EXPECT_TRUE(WaitFor([&] { return Number(Field(details, kDfHandles)) == listed; }, 5000))
      << Number(Field(details, kDfHandles)) << " vs " << listed;
  EXPECT_TRUE(Within(Number(Field(details, kDfPrivate)), report[4])) << Field(details, kDfPrivate) << " vs " << report[4];
  EXPECT_TRUE(Within(Number(Field(details, kDfWorkingSet)), report[5])) << Field(details, kDfWorkingSet) << " vs " << report[5];
  // Bytes written: as the system kept them for the helper itself (Wine 8 keeps none).
  const std::wstring writes = Field(details, kDfWrites);
  const double written = Number(writes, writes.find(L"/ ") + 2);
  EXPECT_TRUE(Number(report[6]) > 0 ? Within(written, report[6], 1) : written == 0) << writes;
  const std::wstring modules = FieldText(FindChild(details, kModules));
  if (SixtyFourBitPrefix()) {
    EXPECT_NE(modules.find(L"64 ビット"), std::wstring::npos);
    EXPECT_EQ(modules.find(L"0x"), std::wstring::npos) << "no base cut to 32 bits";
  } else {
    EXPECT_NE(modules.find(L"story_dll.dll\t0x"), std::wstring::npos);
    EXPECT_NE(modules.find(L"\t" + report[7] + L"\t"), std::wstring::npos) << "its path, exactly";
  }

  SaveScreenshot("details_story");  // a picture to look at, of either width
  // Ctrl+C: every field as a line "label：value".
  ASSERT_TRUE(BringForward(details));
  Chord({VK_CONTROL, 'C'});
  std::wstring copied;
  // Opened only once text is there: an open clipboard would keep the program from copying.
  ASSERT_TRUE(WaitFor([&] { return IsClipboardFormatAvailable(CF_UNICODETEXT) &&
                                   !(copied = ClipboardText<wchar_t>(CF_UNICODETEXT)).empty(); }));
  EXPECT_NE(copied.find(L"コマンドライン：" + commandLine + L"\r\n"), std::wstring::npos);
  EXPECT_NE(copied.find(L"\r\n親プロセス：" + parent + L"\r\n"), std::wstring::npos);
  EXPECT_NE(copied.find(L"\r\nスレッド：" + report[2] + L"\r\n"), std::wstring::npos);

  // The process ends: every live field says so, the window stays.
  ASSERT_TRUE(story.Kill());
  ASSERT_TRUE(WaitFor([&] { return Field(details, kDfThreads) == L"終了しました"; }, 5000));
  for (int f = kDfCpuNow; f < kDfCount; ++f) EXPECT_EQ(Field(details, f), L"終了しました") << f;
  EXPECT_EQ(Field(details, kDfCommandLine), commandLine);
  // Esc closes it.
  ASSERT_TRUE(BringForward(details));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(details); }));
}

TEST(Details, ForgedBlockEndedParentAndOneWindowAProcess) {
  StoryFiles files;
  Process forger;
  ASSERT_TRUE(forger.Start("\"" + files.exe + "\" forge"));
  ASSERT_TRUE(WaitReady(forger));
  Process spawner;
  ASSERT_TRUE(spawner.Start("\"" + files.exe + "\" spawn \"" + files.report + "\""));
  ASSERT_EQ(spawner.Wait(), 0);
  const std::vector<std::wstring> report = ReportLines(files.report);
  ASSERT_EQ(report.size(), 1u);
  const DWORD child = static_cast<DWORD>(std::wcstoul(report[0].c_str(), nullptr, 10));
  // Started in this test's job, it ends with the test program at the latest.
  struct EndChild {
    base::UniqueHandle h;
    ~EndChild() { TerminateProcess(h.get(), 0), WaitForSingleObject(h.get(), 5000); }
  } endChild{base::UniqueHandle(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, child))};
  ASSERT_TRUE(endChild.h);

  KeysApp app;
  ASSERT_TRUE(app.form);
  HWND details = OpenDetails(app, forger.Id());
  ASSERT_TRUE(details);
  // A length past its buffer is not believed; a freed address is not readable.
  const bool paramsReadable = !SixtyFourBitPrefix() || Wow64QueryExists();
  EXPECT_EQ(Field(details, kDfCommandLine), paramsReadable ? L"不正な値です" : L"読み取れません");
  EXPECT_EQ(Field(details, kDfFolder), L"読み取れません");

  // A text in memory the process may not give away is not shown, whatever
  // Wine's ReadProcessMemory would return there.
  for (const char* how : {"noaccess", "guard", "freed"}) {
    SCOPED_TRACE(how);
    Process hider;
    ASSERT_TRUE(hider.Start("\"" + files.exe + "\" hide " + how));
    ASSERT_TRUE(WaitReady(hider));
    HWND hidden = OpenDetails(app, hider.Id());
    ASSERT_TRUE(hidden);
    EXPECT_EQ(Field(hidden, kDfCommandLine), L"読み取れません");
    SendMessageTimeoutA(hidden, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
  }

  // Vorlane goes on: the child of a process that has ended, its parent read as 終了.
  HWND second = OpenDetails(app, child);
  ASSERT_TRUE(second);
  EXPECT_EQ(Field(second, kDfParent), L"終了 (" + std::to_wstring(spawner.Id()) + L")");

  // Asked again (詳細(D) this time), the forger's window comes forward: still two windows.
  HWND again = OpenDetails(app, forger.Id(), true);
  EXPECT_EQ(again, details);
  EXPECT_EQ(DetailsWindows(app).size(), 2u);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == details; }, 5000));
}

TEST(Details, AForgedLoaderListIsCutAndNeverHoldsTheWindowUp) {
  StoryFiles files;
  KeysApp app;
  ASSERT_TRUE(app.form);
  for (const char* how : {"loop", "long", "crlf"}) {
    SCOPED_TRACE(how);
    Process forger;
    ASSERT_TRUE(forger.Start("\"" + files.exe + "\" loader " + how));
    ASSERT_TRUE(WaitReady(forger));
    // The main window is asked WM_NULL again and again from another thread
    // while the details window opens: its slowest answer is the hold-up.
    struct Probe {
      HWND form;
      volatile LONG done = 0;
      DWORD slowest = 0;
    } probe{app.form};
    base::UniqueHandle prober(CreateThread(nullptr, 0, [](void* p) WINAPI -> DWORD {
      auto* probe = static_cast<Probe*>(p);
      while (!probe->done) {
        const DWORD start = GetTickCount();
        DWORD_PTR r = 0;
        SendMessageTimeoutA(probe->form, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &r);
        probe->slowest = std::max(probe->slowest, GetTickCount() - start);
        WaitForSingleObject(GetCurrentThread(), 10);  // a pause between probes
      }
      return 0;
    }, &probe, 0, nullptr));
    ASSERT_TRUE(prober);
    HWND details = OpenDetails(app, forger.Id());
    InterlockedExchange(&probe.done, 1);
    ASSERT_EQ(WaitForSingleObject(prober.get(), 30000), WAIT_OBJECT_0);
    ASSERT_TRUE(details);
    printf("%s: the main window's slowest answer %lu ms\n", how, probe.slowest);
    EXPECT_LT(probe.slowest, 1000u) << "the window was held up reading the list";
    const std::wstring modules = FieldText(FindChild(details, kModules));
    if (SixtyFourBitPrefix()) continue;  // its modules are out of a 32-bit program's reach
    if (std::string(how) == "crlf") {
      EXPECT_EQ(modules.find(L"\nfake.dll"), std::wstring::npos) << "a row of its own";
      EXPECT_NE(modules.find(L"C:\\a.dll\u240D\u240Afake.dll\u2409"), std::wstring::npos);
    } else {
      EXPECT_TRUE(modules.starts_with(L"（一覧はここで打ち切りました")) << modules.substr(0, 200);
    }
    SendMessageTimeoutA(details, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
  }
}

TEST(Details, ProcessesStartedFromOutsideForFortySecondsWithTheWindowOpen) {
  // Started by Unix, not by a Windows parent, a process holds no handle at
  // first: a program that read the system's handle table while such starts
  // went on brought Wine's server down, and every program under it.
  if (SixtyFourBitPrefix()) GTEST_SKIP() << "once is enough";
  StoryFiles files;
  Process story;
  ASSERT_TRUE(story.Start("\"" + files.exe + "\" peb \"" + files.report + "\""));
  ASSERT_TRUE(WaitReady(story));
  KeysApp app;
  ASSERT_TRUE(app.form);
  HWND details = OpenDetails(app, story.Id());
  ASSERT_TRUE(details);
  const std::string done = TestDir() + "storm.done";
  DeleteFileA(done.c_str());
  // A script, as Wine hands a Unix program its command line split at blanks.
  const std::string script = TestDir() + "storm.sh";
  const std::string text = "end=$(($(date +%s) + 40)); n=0\nwhile [ $(date +%s) -lt $end ]; do\n  " + std::string(kUnixWine) + " '" +
                           UnixPath(TestDir() + "helper.exe") + "' widecalls >/dev/null 2>&1\n  n=$((n + 1))\ndone\n"
                           "echo $n > '" + UnixPath(done) + "'\n";
  HANDLE f = CreateFileA(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ASSERT_TRUE(f != INVALID_HANDLE_VALUE && WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
  CloseHandle(f);
  ASSERT_TRUE(RunUnix("/bin/sh " + UnixPath(script)));
  // The details window answers throughout, reading every second.
  EXPECT_TRUE(WaitFor([&] {
    DWORD_PTR r = 0;
    return !SendMessageTimeoutA(details, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r) ||
           GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES;
  }, 90000));
  const std::string starts = ReadFileBytes(done);
  printf("starts from outside: %s", starts.c_str());
  EXPECT_GE(std::atoi(starts.c_str()), 20) << "the storm did not run";
  DeleteFileA(done.c_str());
  DeleteFileA(script.c_str());
  EXPECT_TRUE(app.process.Running());
  DWORD_PTR r = 0;
  EXPECT_TRUE(SendMessageTimeoutA(details, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r));
  Process after = StartHelper("windows 1 After");  // the server still starts processes
  EXPECT_TRUE(after.Running());
}

// The top-level window titled `title` of any process, or null.
struct TitleSearch {
  const std::string* title;
  HWND found;
};
BOOL CALLBACK MatchTitle(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<TitleSearch*>(lp);
  char text[64] = {};
  GetWindowTextA(w, text, sizeof text);
  if (*s->title == text) s->found = w;
  return s->found ? FALSE : TRUE;
}
HWND AnyTitled(const std::string& title) {
  TitleSearch s{&title, nullptr};
  EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

TEST(Details, AltEnterOnAHelperStartedFromOutsideRoundAfterRound) {
  // Once Vorlane's window vanished after Alt+Enter on such a helper's entry:
  // each round starts one from outside, then the program, reloads, clicks
  // the entry, opens its details, ends the helper, and closes with code 0.
  for (int round = 1; round <= 3; ++round) {
    const std::string title = "Outside" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(round);
    ASSERT_TRUE(RunUnix("/bin/sh -c \"" + std::string(kUnixWine) + " '" + UnixPath(TestDir() + "helper.exe") +
                        "' windows 1 " + title + " >/dev/null 2>&1 &\""));
    HWND w = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (w = AnyTitled(title + " 1")) != nullptr; }));
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    // No job takes a process Wine started for Unix: it is ended here, whatever happens.
    base::UniqueHandle helper(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    ASSERT_TRUE(helper);
    const struct Ender {
      HANDLE h;
      ~Ender() { TerminateProcess(h, 1); }
    } ender{helper.get()};
    long code = -1;
    {
      KeysApp app;
      ASSERT_TRUE(app.form);
      ASSERT_TRUE(OpenDetails(app, pid)) << "round " << round;
      ASSERT_TRUE(TerminateProcess(helper.get(), 0));
      EXPECT_EQ(WaitForSingleObject(helper.get(), 10000), WAIT_OBJECT_0);
      EXPECT_TRUE(app.process.Running()) << "round " << round;
      PostMessageA(app.form, WM_CLOSE, 0, 0);
      code = app.process.Wait(20000);
    }
    EXPECT_EQ(code, 0) << "round " << round;
  }
}

TEST(Details, NineXFamilyShowsWhatToolHelpGivesAndNothingElse) {
  if (sizeof(void*) == 8) GTEST_SKIP() << "the 9x family runs no 64-bit program";
  // Wine reports platform 1 (Windows 98) to a program of this file name.
  RegistryValue win98(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Vorlane9x.exe", "Version", "win98");
  StoryFiles files;
  Process story;
  ASSERT_TRUE(story.Start("\"" + TestDir() + "story.exe\" story \"" + files.report + "\" \"" + TestDir() + "story_dll.dll\""));
  ASSERT_TRUE(WaitReady(story));
  const std::vector<std::wstring> report = ReportLines(files.report);
  ASSERT_EQ(report.size(), 8u);
  // Under the layer that fails every call 98 would fail (see gui_ninex_test.cpp).
  App app(CopyExe(TestDir() + "ninex", "Vorlane9x.exe"), "", TestDir() + "ninex_layer.dll");
  ASSERT_TRUE(app.form);
  HWND details = OpenDetails(app, story.Id());
  ASSERT_TRUE(details);
  EXPECT_EQ(Field(details, kDfThreads), report[2]);
  EXPECT_EQ(Field(details, kDfParent), L"gui_tests.exe (" + std::to_wstring(GetCurrentProcessId()) + L")");
  // The class, and the base priority as ToolHelp gives it (Wine 8: 2 for normal, Windows 98: 8).
  EXPECT_TRUE(Field(details, kDfPriority).starts_with(L"通常 (基本優先度 ")) << Field(details, kDfPriority);
  for (int f : {kDfCommandLine, kDfFolder, kDfStarted, kDfUser, kDfCpuNow, kDfCpuTotal, kDfPrivate, kDfWorkingSet,
                kDfHandles, kDfWrites})
    EXPECT_EQ(Field(details, f), L"この Windows では読めません") << f;
  EXPECT_NE(FieldText(FindChild(details, kModules)).find(L"story.exe\t0x"), std::wstring::npos);
  const std::string log = TestDir() + "ninex-" + std::to_string(app.process.Id()) + ".log";
  EXPECT_EQ(ReadFileBytes(log), "");  // no call into a function 98 fails
  DeleteFileA(log.c_str());
}

// The details window of the real Vorlane.exe, opened with real keys on a
// story helper whose every fact the test set up or the helper reports of
// itself from inside; read from outside with bounded sends.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "harness.h"
#include "keys_app.h"

using namespace harness;
using namespace keys;

namespace {

constexpr int kFirstField = 100, kModules = 99;
// Field identifiers in window order (kFirstField + index).
enum { kName, kPath, kCommandLine, kFolder, kParent, kStarted, kUser, kBits, kCompany,
       kDescription, kVersion, kPriority, kCpuNow, kCpuUser, kCpuKernel, kCpuTotal, kPrivate,
       kWorkingSet, kPeak, kFaults, kThreads, kHandles, kReads, kWrites, kOthers, kFields };

// A field's text in UTF-16, read into a fixed buffer.
std::wstring FieldText(HWND w) {
  static wchar_t buf[8192];
  const LRESULT n = SendW(w, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buf));
  return n > 0 && n < 8192 ? std::wstring(buf, static_cast<size_t>(n)) : std::wstring();
}

std::wstring Field(HWND details, int f) { return FieldText(FindChild(details, kFirstField + f)); }

// "65,536 KB" → bytes; "12 回 / 10,485,760 バイト" → its byte figure.
double Number(const std::wstring& text, size_t from = 0) {
  std::wstring digits;
  for (size_t i = from; i < text.size() && (iswdigit(text[i]) || text[i] == L','); ++i)
    if (text[i] != L',') digits += text[i];
  return digits.empty() ? -1 : std::wcstod(digits.c_str(), nullptr);
}

bool Within(double value, double expected, double share) {
  return value >= expected * (1 - share) && value <= expected * (1 + share);
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
  std::vector<std::wstring> lines;
  for (size_t at = 0, end; (end = text.find(L'\n', at)) != std::wstring::npos; at = end + 1)
    lines.push_back(text.substr(at, end - at));
  return lines;
}

// A 64-bit process's parameters can be read where the system has the WOW64
// query (64-bit Windows); Wine 8 has none.
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

// The list entry of process `pid`; -1 when none.
int EntryOf(const App& app, DWORD pid) {
  for (int i = 0; i < app.ListCount(); ++i)
    if (IdAt(app.Ctl(kIdList), i) == pid) return i;
  return -1;
}

// The shown details window of process `pid`: its title ends with "(pid)".
HWND DetailsOf(const App& app, DWORD pid) {
  const std::string tail = "(" + std::to_string(pid) + ")";
  for (HWND w : TopWindows(app.process.Id())) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    const std::string title = TextOf(w);
    if (lstrcmpA(cls, "TDetails") == 0 && IsWindowVisible(w) && title.size() > tail.size() &&
        title.compare(title.size() - tail.size(), tail.size(), tail) == 0)
      return w;
  }
  return nullptr;
}

// Selects the process's entry with a click and opens its details with Alt+Enter.
// Details windows already open are moved off the list first: owned by the
// main window, they stay in front of it.
HWND OpenDetails(const App& app, DWORD pid) {
  for (HWND w : TopWindows(app.process.Id())) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "TDetails") == 0)
      SetWindowPos(w, nullptr, GetSystemMetrics(SM_CXSCREEN) - 40, GetSystemMetrics(SM_CYSCREEN) - 40, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  int index = -1;
  if (!WaitFor([&] {
        app.Click(kIdReget);
        return (index = EntryOf(app, pid)) >= 0;
      }) ||
      !app.SelectEntry(index, pid))
    return nullptr;
  Chord({VK_MENU, VK_RETURN});
  HWND details = nullptr;
  return WaitFor([&] { return (details = DetailsOf(app, pid)) && !Field(details, kThreads).empty(); })
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
  EXPECT_EQ(Field(details, kCommandLine), commandLine);
  // The block keeps the folder's closing separator.
  EXPECT_EQ(Field(details, kFolder), paramsReadable ? report[1] + L"\\" : L"読み取れません");
  EXPECT_EQ(report[0], Widened(padded));
  EXPECT_EQ(Field(details, kName), SixtyFourBitPrefix() ? L"story64.exe" : L"story.exe");
  const std::wstring parent = Field(details, kParent);
  EXPECT_EQ(parent, L"gui_tests.exe (" + std::to_wstring(GetCurrentProcessId()) + L")");
  EXPECT_EQ(Field(details, kBits), SixtyFourBitPrefix() ? L"64 ビット" : L"32 ビット");
  wchar_t user[256] = {};
  DWORD userSize = 256;
  ASSERT_TRUE(GetUserNameW(user, &userSize));
  const std::wstring account = Field(details, kUser);
  EXPECT_EQ(account.substr(account.find(L'\\') + 1), user);
  EXPECT_EQ(Field(details, kPriority), L"通常");
  const std::wstring started = Field(details, kStarted);
  wchar_t minute[32];
  swprintf(minute, 32, L"%04d/%02d/%02d %02d:%02d", before.wYear, before.wMonth, before.wDay,
           before.wHour, before.wMinute);
  EXPECT_EQ(started.substr(0, 16), minute) << "started within the minute the test started it";
  EXPECT_EQ(Field(details, kThreads), report[2]);
  const double handles = Number(Field(details, kHandles)), ownHandles = std::wcstod(report[3].c_str(), nullptr);
  EXPECT_GE(handles, 100);
  EXPECT_LE(handles, ownHandles + 10);
  EXPECT_TRUE(Within(Number(Field(details, kPrivate)) * 1024, std::wcstod(report[4].c_str(), nullptr), 0.1))
      << Number(Field(details, kPrivate)) << " KB shown, " << std::wcstod(report[4].c_str(), nullptr) << " reported";
  EXPECT_TRUE(Within(Number(Field(details, kWorkingSet)) * 1024, std::wcstod(report[5].c_str(), nullptr), 0.1))
      << Number(Field(details, kWorkingSet)) << " KB shown, " << std::wcstod(report[5].c_str(), nullptr) << " reported";
  // Bytes written: as the system kept them for the helper itself (Wine 8 keeps none).
  const std::wstring writes = Field(details, kWrites);
  const double written = std::wcstod(report[6].c_str(), nullptr);
  const double shownWritten = Number(writes, writes.find(L"/ ") + 2);
  if (written > 0) EXPECT_TRUE(Within(shownWritten, written, 0.1));
  else EXPECT_EQ(shownWritten, 0);
  const std::wstring modules = FieldText(FindChild(details, kModules));
  if (SixtyFourBitPrefix()) {
    EXPECT_NE(modules.find(L"64 ビット"), std::wstring::npos);
    EXPECT_EQ(modules.find(L"0x"), std::wstring::npos) << "no base cut to 32 bits";
  } else {
    EXPECT_NE(modules.find(L"story_dll.dll\t0x"), std::wstring::npos);
    EXPECT_NE(modules.find(L"\t" + report[7] + L"\t"), std::wstring::npos) << "its path, exactly";
  }

  // Ctrl+C: every field as a line "label：value".
  ASSERT_TRUE(BringForward(details));
  Chord({VK_CONTROL, 'C'});
  std::wstring copied;
  ASSERT_TRUE(WaitFor([&] { return !(copied = ClipboardText<wchar_t>(CF_UNICODETEXT)).empty(); }));
  EXPECT_NE(copied.find(L"コマンドライン：" + commandLine + L"\r\n"), std::wstring::npos);
  EXPECT_NE(copied.find(L"\r\n親プロセス：" + parent + L"\r\n"), std::wstring::npos);
  EXPECT_NE(copied.find(L"\r\nスレッド：" + report[2] + L"\r\n"), std::wstring::npos);

  // The process ends: every live field says so, the window stays.
  ASSERT_TRUE(story.Kill());
  ASSERT_TRUE(WaitFor([&] { return Field(details, kThreads) == L"終了しました"; }, 5000));
  for (int f = kCpuNow; f < kFields; ++f) EXPECT_EQ(Field(details, f), L"終了しました") << f;
  EXPECT_EQ(Field(details, kCommandLine), commandLine);
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
  base::UniqueHandle childHandle(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, child));
  ASSERT_TRUE(childHandle);
  struct EndChild {
    HANDLE h;
    ~EndChild() { TerminateProcess(h, 0); WaitForSingleObject(h, 5000); }
  } endChild{childHandle.get()};

  KeysApp app;
  ASSERT_TRUE(app.form);
  HWND details = OpenDetails(app, forger.Id());
  ASSERT_TRUE(details);
  // A length past its buffer is not believed; a freed address is not readable.
  const bool paramsReadable = !SixtyFourBitPrefix() || Wow64QueryExists();
  EXPECT_EQ(Field(details, kCommandLine), paramsReadable ? L"不正な値です" : L"読み取れません");
  EXPECT_EQ(Field(details, kFolder), L"読み取れません");
  EXPECT_TRUE(app.process.Running());

  // The child of a process that has ended: its parent reads 終了.
  HWND second = OpenDetails(app, child);
  ASSERT_TRUE(second) << "child " << child << " at entry " << EntryOf(app, child);
  EXPECT_EQ(Field(second, kParent), L"終了 (" + std::to_wstring(spawner.Id()) + L")");

  // Asked again, the forger's window comes forward: still two windows.
  HWND again = OpenDetails(app, forger.Id());
  EXPECT_EQ(again, details);
  int windows = 0;
  for (HWND w : TopWindows(app.process.Id())) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    windows += lstrcmpA(cls, "TDetails") == 0 && IsWindowVisible(w);
  }
  EXPECT_EQ(windows, 2);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == details; }, 5000));
}

TEST(Details, NineXFamilyShowsWhatToolHelpGivesAndNothingElse) {
  // Wine reports platform 1 (Windows 98) to a program of this file name.
  RegistryValue win98(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Vorlane9x.exe", "Version", "win98");
  StoryFiles files;
  Process story;
  ASSERT_TRUE(story.Start("\"" + TestDir() + "story.exe\" child"));
  ASSERT_TRUE(WaitReady(story));
  App app(CopyExe(TestDir() + "ninex", "Vorlane9x.exe"));
  ASSERT_TRUE(app.form);
  HWND details = OpenDetails(app, story.Id());
  ASSERT_TRUE(details);
  // Its threads as a thread snapshot counts them.
  base::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 t{};
  t.dwSize = sizeof t;
  int threads = 0;
  for (BOOL more = Thread32First(snapshot.get(), &t); more; more = Thread32Next(snapshot.get(), &t))
    threads += t.th32OwnerProcessID == story.Id();
  EXPECT_EQ(Field(details, kThreads), std::to_wstring(threads));
  EXPECT_EQ(Field(details, kParent), L"gui_tests.exe (" + std::to_wstring(GetCurrentProcessId()) + L")");
  // The class, and the base priority as ToolHelp gives it (Wine 8: 2 for normal, Windows 98: 8).
  base::UniqueHandle processes(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 p{};
  p.dwSize = sizeof p;
  LONG base = -1;
  for (BOOL more = Process32First(processes.get(), &p); more; more = Process32Next(processes.get(), &p))
    if (p.th32ProcessID == story.Id()) base = p.pcPriClassBase;
  EXPECT_EQ(Field(details, kPriority), L"通常 (基本優先度 " + std::to_wstring(base) + L")");
  for (int f : {kCommandLine, kFolder, kStarted, kUser, kCpuNow, kCpuTotal, kPrivate, kWorkingSet,
                kHandles, kWrites})
    EXPECT_EQ(Field(details, f), L"この Windows では読めません") << f;
  EXPECT_NE(FieldText(FindChild(details, kModules)).find(L"story.exe\t0x"), std::wstring::npos);
}

// What the Windows tests share: starting processes, waiting on conditions
// with a bound, finding and reading another process's windows, pixels.
#pragma once
#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "procinfo/process_api.h"
#include "ui/gdi.h"

namespace harness {

// Directory of the test programs (with a trailing backslash).
std::string TestDir();
// The program under test.
std::string VorlaneExe();

// Polls `done` until it holds or `timeoutMs` passes, pumping this thread's
// messages meanwhile. True when it held; callers check it.
[[nodiscard]] bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 10000);
// Lets `ms` pass, pumping: only where the passing time is what is tested
// (a pointer at rest, say).
inline void Pump(DWORD ms) { (void)WaitFor([] { return false; }, ms); }

// How long a sent message may wait for its answer: longer than any reload
// of the tests takes on a loaded machine, short of ctest's limit.
constexpr DWORD kAnswerMs = 20000;
// A message sent to another process's window with a bound: a window that
// does not answer within kAnswerMs, or whose thread is hung, fails the test
// and gives 0. A window already gone gives 0 quietly, as SendMessage does.
LRESULT Send(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
LRESULT SendW(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0);

class Process {
 public:
  Process() = default;
  // Starts `commandLine`; `show` goes into STARTUPINFO.
  bool Start(const std::string& commandLine, DWORD creationFlags = 0, int show = SW_SHOWNORMAL,
             const std::string& directory = "");
  // Starts a UTF-16 command line: paths that code page 932 cannot name.
  bool Start(const std::wstring& commandLine);
  Process(Process&&) = default;
  Process& operator=(Process&&) = default;
  // Kills the process when it still runs.
  ~Process();
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_.get(); }
  bool Running() const;
  // Exit code, or -1 when still running after `timeoutMs`.
  long Wait(DWORD timeoutMs = 10000) const;
  // True once the process has ended (killed now or before).
  [[nodiscard]] bool Kill();
  // Lets a process started suspended run; false when it was not suspended.
  [[nodiscard]] bool Resume();

 private:
  // Takes a process just made suspended into the test's job, then lets it run
  // unless the caller asked for it suspended.
  void Adopt(const PROCESS_INFORMATION& pi, DWORD flags);

  base::UniqueHandle process_;
  base::UniqueHandle thread_;  // the first thread, while it waits to run
  DWORD id_ = 0;
};

// Loads `dll` into `p`, started suspended, before any code of its own runs
// (a thread of the system's LoadLibraryA, waited for with a bound).
[[nodiscard]] bool LoadInto(const Process& p, const std::string& dll);

// Puts a process started by other means into the job of the processes this
// test program started: it ends when the test program ends.
[[nodiscard]] bool JoinTestJob(HANDLE process);

// A helper.exe started in `mode` with `args`, returned once its windows exist
// (a test failure when they never do).
Process StartHelper(const std::string& args, DWORD creationFlags = 0);
// True once a program the harness started shows its "ready <pid>" window.
[[nodiscard]] bool WaitReady(const Process& p);

// Top-level windows of a process, in enumeration order.
std::vector<HWND> TopWindows(DWORD pid);
HWND FindTopWindow(DWORD pid, const char* className);
// The first top-level window of process `pid` titled `title`: titles are
// looked up only among the windows of processes a test started.
HWND FindTitled(DWORD pid, const std::string& title);
// A descendant window with this control identifier.
HWND FindChild(HWND parent, int id);

// Window text as the window's ANSI bytes.
std::string TextOf(HWND w);
// List box items of another process (read as UTF-16, turned into CP932),
// one consistent reading: read again while the count changes meanwhile (a
// reload refills the list between two messages). An item too long to read
// safely across processes fails the test unread.
std::vector<std::string> ListItems(HWND list);
// Item `index` of such a list; empty when there is none.
std::string ItemAt(HWND list, int index);
// The process ID at the start of item `index` ("[ 123 : ..."); 0 when none.
DWORD IdAt(HWND list, int index);
int ListSelection(HWND list);

// Rectangle of a child in its parent's client coordinates.
RECT ChildRect(HWND child);

// Real input: the pointer to a screen point, a click, a key.
void MovePointer(int x, int y);
void ClickAt(int x, int y);
void PressKey(WORD vk);
// True once `w` is the foreground window (asked again while it is not).
[[nodiscard]] bool BringForward(HWND w);
// Real clicks at `p`, `form` brought forward before each, until `done`
// holds: Wine may spend a click on activating the window. At most `clicks`.
[[nodiscard]] bool ClickUntil(HWND form, POINT p, const std::function<bool()>& done, int clicks = 4);

// Pixels of the virtual display as the X server shows them (taken with
// ImageMagick's import: inside Wine a process cannot read another
// process's window surface). Coordinates are screen coordinates.
class ScreenPixels {
 public:
  // Captures the screen rectangle `r`; Valid() is false when that failed.
  explicit ScreenPixels(const RECT& r);
  bool Valid() const { return !rgb_.empty(); }
  COLORREF Pixel(int x, int y) const;  // screen coordinates

 private:
  RECT r_{};
  int width_ = 0, height_ = 0;
  std::string rgb_;
};

// Saves a PNG of the whole virtual display under the test programs'
// screenshots folder; returns its path.
std::string SaveScreenshot(const std::string& name);

// Runs a program of the machine itself (not a Windows program) and waits
// for it; false when it could not be started (its exit code is not known).
bool RunUnix(const std::string& commandLine, DWORD timeoutMs = 20000);
// The Wine loader in a Unix shell's command: the usual one, or the 64-bit
// one where the kernel runs no 32-bit code (the usual one would not start).
inline constexpr char kUnixWine[] =
    "$(/usr/lib/wine/wine --version >/dev/null 2>&1 && echo /usr/bin/wine || echo /usr/lib/wine/wine64)";

// A field of /proc/<pid>/status, in KiB (VmRSS, VmHWM...), of the Wine
// process whose command line holds `mark`; 0 when it cannot be read.
long ProcessStatusKiB(const std::string& mark, const char* field);

// GDI objects alive in `process`, read from its own handle table: under Wine
// each process has one (GetObjectType in another process sees none of its
// objects), which its PEB names as Windows does; an entry is 24 bytes, its
// type at byte 14 nonzero while the object lives. -1 when unreadable.
long GdiObjects(HANDLE process);

// A word no other process on the machine has in its command line: started
// with it, a process of this test is told apart from every other.
std::string UniqueMark();

// The Unix path of a path on Wine's Z: drive.
std::string UnixPath(const std::string& windowsPath);

// Bytes of a file; empty when missing.
std::string ReadFileBytes(const std::string& path);

// The running Vorlane.exe (or a copy under another name) with its main
// window found once its first load has filled the list. A start that shows
// no such window fails the test and ends it there (StartFailed is thrown;
// the test framework reports it and goes on with the next test).
struct StartFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};
class App {
 public:
  // `arguments` follow the program's quoted path on its command line;
  // `layer` is a DLL loaded into the program before it runs.
  explicit App(const std::string& exe = VorlaneExe(), const std::string& arguments = "",
               const std::string& layer = "");
  // Closes the window and waits for the program to end; kills it if it does not.
  ~App();
  Process process;
  HWND form = nullptr;

  HWND Ctl(int id) const { return FindChild(form, id); }
  int ListCount() const;
  // No reload under way: the status bar does not say 読み込み中.
  bool Loaded() const;
  std::vector<std::string> Items() const;
  // Index of the first entry starting with `prefix`, or -1.
  int IndexOf(const std::string& prefix) const;
  // A click on button `id`, returned once a reload it started has ended.
  void Click(int id) const;
  // A real click on entry `index`, the window brought forward first; true
  // once the entry is selected and the details panel shows process `pid`.
  bool SelectEntry(int index, DWORD pid) const;
  // One real click on entry `index`, scrolled into view, the window brought forward.
  void ClickItem(int index) const;
  // A point on entry `index` on screen, the entry scrolled into view.
  POINT ItemPoint(int index) const;
  // Clicks the home-page link; the confirmation once it shows, else null.
  HWND OpenConfirmation() const;
  // Returns once the window has handled what was sent before: it answers.
  void Settle() const { Send(form, WM_NULL); }
};

// The stand-in DDE browser server, answering once constructed; it writes
// each execute it receives to `log`.
class DdeServer {
 public:
  explicit DdeServer(const std::string& log);
  ~DdeServer();

 private:
  Process process_;
};

// Sets a registry value for one scope and puts the old state back, also
// when the test fails on the way. The old state is written to a journal
// first: when the test program dies before the scope ends, the next test
// program puts it back at its start (RestoreTestEnvironment).
class RegistryValue {
 public:
  RegistryValue(HKEY root, const std::string& key, const std::string& name, const std::string& value);
  RegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD value);
  ~RegistryValue();
  RegistryValue(const RegistryValue&) = delete;
  RegistryValue& operator=(const RegistryValue&) = delete;

 private:
  void Set(DWORD type, const void* data, DWORD size);

  HKEY root_;
  std::string key_, name_, old_;
  DWORD type_ = REG_SZ;
  bool had_ = false, createdKey_ = false;
  std::string journal_;  // this value's journal entry, removed once restored
};

// What a test program finds at its start: processes of an earlier test
// program (anything run from the build folder), the registry values it
// changed, its single-instance markers and clipboard text are ended, put
// back or removed, however that program ended.
void RestoreTestEnvironment();

// The start of a helper process's entry on the process tab.
inline std::string Prefix(DWORD pid) { return "[ " + std::to_string(pid) + " : helper.exe ]"; }

// A copy of the program under another file name in folder `dir` (made when
// missing); returns its path.
std::string CopyExe(const std::string& dir, const std::string& name);

// The process-API seam as the scope found it, put back when the scope ends,
// also when a test fails on the way.
class SavedProcessApi {
 public:
  SavedProcessApi() : saved_(Api()) {}
  ~SavedProcessApi() { Api() = saved_; }
  SavedProcessApi(const SavedProcessApi&) = delete;
  SavedProcessApi& operator=(const SavedProcessApi&) = delete;
  const ProcessApi& Saved() const { return saved_; }

 private:
  ProcessApi saved_;
};

// ToolHelp's process snapshot through the seam (Process32First/Next): the
// processes `idAndParent` names, one after the other, each "helper.exe".
// The seam's saved table (SavedProcessApi) puts the system's back.
void FakeProcessSnapshot(const std::vector<std::pair<DWORD, DWORD>>& idAndParent);

// The clipboard's text in one format: UTF-16 code units or ANSI bytes as
// stored; empty when the format is absent.
template <typename Char>
std::basic_string<Char> ClipboardText(UINT format) {
  std::basic_string<Char> text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE h = GetClipboardData(format))
    if (auto* p = static_cast<const Char*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  CloseClipboard();
  return text;
}

// Empties the clipboard when the scope ends, however the test ends.
struct ClipboardLeftEmpty {
  ClipboardLeftEmpty() = default;
  ClipboardLeftEmpty(const ClipboardLeftEmpty&) = delete;
  ClipboardLeftEmpty& operator=(const ClipboardLeftEmpty&) = delete;
  ~ClipboardLeftEmpty() {
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      CloseClipboard();
    }
  }
};

// ASCII text as UTF-16.
inline std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// An icon's 32 x 32 pixels drawn on white, row by row: to compare icons.
std::vector<COLORREF> IconPixels(HICON icon);
inline COLORREF IconCentre(HICON icon) { return IconPixels(icon)[16 * 32 + 16]; }

// The contrast ratio of two colours as the web's accessibility guidelines
// define it (1 to 21), worked out here and not by the program.
double Contrast(COLORREF a, COLORREF b);

}  // namespace harness

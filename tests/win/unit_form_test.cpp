// The main window in this process, over process functions replaced to show
// what Wine cannot: a process whose path cannot be read, the idle process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>
#include <windows.h>
#include <commctrl.h>

#include "app/app_window.h"
#include "app/control_ids.h"
#include "app/details/details_fields.h"
#include "app/texts.h"
#include "app/unit1.h"
#include "harness.h"
#include "model/entry.h"
#include "procinfo/process_api.h"
#include "ui/dpi.h"
#include "ui/gdi.h"
#include "ui/image.h"

namespace {

DWORD g_unreadable;
LONG g_enumerations;  // process lists taken (EnumProcesses or the system's list), from any thread
DWORD g_windowThread;
bool g_parentYounger;  // this process listed as started after the helper it started
LONG g_windowThreadReads;  // the system's list read on the windows' own thread

// The system's process list (information class 5) cut to the seam's three
// processes: each one's record from the real list, the idle process's made
// up, all without their threads and names, which nothing here reads.
LONG WINAPI ListOfTheThree(ULONG kind, PVOID buf, ULONG size, PULONG needed) {
  if (kind != 5) return SystemApi().NtQuerySystemInformation(kind, buf, size, needed);
  InterlockedIncrement(&g_enumerations);
  if (GetCurrentThreadId() == g_windowThread) InterlockedIncrement(&g_windowThreadReads);
  // SYSTEM_PROCESS_INFORMATION's own fields, its ID and its name, in this width.
  constexpr bool kWide = sizeof(void*) == 8;
  constexpr ULONG kRecord = kWide ? 256 : 184, kPid = kWide ? 80 : 68, kName = kWide ? 16 : 8;
  const DWORD ids[] = {0, g_unreadable, GetCurrentProcessId()};
  const ULONG room = kRecord * 3;
  if (needed) *needed = room;
  if (size < room) return static_cast<LONG>(0xC0000004);  // STATUS_INFO_LENGTH_MISMATCH
  std::vector<unsigned char> real(4 << 20);
  const LONG status = SystemApi().NtQuerySystemInformation(5, real.data(), static_cast<ULONG>(real.size()), nullptr);
  if (status < 0) return status;
  auto* out = static_cast<unsigned char*>(buf);
  std::memset(out, 0, room);
  for (ULONG i = 0; i < 3; ++i) {
    unsigned char* r = out + i * kRecord;
    for (size_t at = 0; at + kRecord <= real.size();) {
      DWORD next, pid;
      std::memcpy(&next, &real[at], 4);
      std::memcpy(&pid, &real[at + kPid], 4);
      if (pid == ids[i]) std::memcpy(r, &real[at], kRecord);
      if (pid == ids[i] || next == 0) break;
      at += next;
    }
    if (g_parentYounger && i == 2) {  // a time after the helper's
      std::memcpy(r + 32, out + kRecord + 32, 8);
      r[32] += 1;
    }
    const ULONG next = i < 2 ? kRecord : 0;
    std::memcpy(r, &next, 4);
    std::memset(r + 4, 0, 4);   // threads
    std::memset(r + 56, 0, kName);
    std::memcpy(r + kPid, &ids[i], 4);
  }
  return 0;
}

// Where a reading on another thread waits for the test (20 s at most):
// opened when the test says, or as the test ends, however it ends.
class Gate {
 public:
  Gate() { current_ = this; }
  ~Gate() {
    Open();
    EXPECT_TRUE(harness::WaitFor([&] { return inside_ == 0; }, 20000));  // none still inside
    current_ = nullptr;
  }
  bool Reached() { return WaitForSingleObject(reached_.get(), 20000) == WAIT_OBJECT_0; }
  void Open() { SetEvent(open_.get()); }
  bool Passed() const { return passed_ != 0; }
  // Called by the reading: it waits here.
  static void Pass() {
    Gate* g = current_;
    if (!g) return;
    InterlockedIncrement(&g->inside_);
    SetEvent(g->reached_.get());
    WaitForSingleObject(g->open_.get(), 20000);
    InterlockedExchange(&g->passed_, 1);
    InterlockedDecrement(&g->inside_);
  }

 private:
  static inline Gate* current_ = nullptr;
  base::UniqueHandle reached_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  base::UniqueHandle open_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  volatile LONG inside_ = 0, passed_ = 0;
};

// The worker's reading held at the window titles, after the processes part
// is posted; the window's own thread passes freely.
DWORD g_testThread;
BOOL WINAPI GatedEnumWindows(WNDENUMPROC f, LPARAM p) {
  if (GetCurrentThreadId() != g_testThread) Gate::Pass();
  return EnumWindows(f, p);
}

// The worker's reading held at the helper's path, which stands for a file
// on a share that stopped answering; the path reads "?" as in the fixture.
DWORD WINAPI GatedPath(HANDLE p, HMODULE, LPWSTR buf, DWORD) {
  if (GetProcessId(p) == g_unreadable) Gate::Pass();
  return lstrcpyW(buf, L"?") ? 1 : 0;
}

// Takes every message already queued for this thread, then returns.
void TakeQueued() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    helper_ = harness::StartHelper("windows 1 Seam");
    g_unreadable = helper_.Id();
    g_windowThread = GetCurrentThreadId();
    g_parentYounger = false;
    Api().EnumProcesses = [](DWORD* ids, DWORD, DWORD* bytes) WINAPI -> BOOL {
      InterlockedIncrement(&g_enumerations);
      ids[0] = 0;
      ids[1] = g_unreadable;
      ids[2] = GetCurrentProcessId();
      *bytes = 12;
      return TRUE;
    };
    Api().GetModuleFileNameExW = [](HANDLE p, HMODULE m, LPWSTR buf, DWORD n) WINAPI -> DWORD {
      if (GetProcessId(p) == g_unreadable) return lstrcpyW(buf, L"?") ? 1 : 0;
      return SystemApi().GetModuleFileNameExW(p, m, buf, n);
    };
    Api().QueryFullProcessImageNameW = [](HANDLE, DWORD, LPWSTR, PDWORD) WINAPI -> BOOL { return FALSE; };
    Api().NtQuerySystemInformation = ListOfTheThree;
    ASSERT_TRUE(app_.Create());
    form_ = std::make_unique<TForm1>(app_.hwnd(), nullptr);
    ASSERT_TRUE(form_->Create());
    Reload();
  }
  void Reload() {
    form_->Reload();
    ASSERT_TRUE(harness::WaitFor([&] { return !form_->Reloading(); }));
  }
  void TearDown() override {
    form_.reset();
    Api() = SystemApi();  // no seam a test set reaches the next
  }
  HWND Ctl(int id) { return harness::FindChild(form_->hwnd(), id); }
  // The selected entry's details window, opened; null when none came.
  HWND OpenDetails() {
    form_->ShowEntryDetails();
    HWND details = nullptr;
    // Open once the facts it reads off its thread are in.
    (void)harness::WaitFor([&] {
      for (HWND w : harness::TopWindows(GetCurrentProcessId()))
        if (GetWindow(w, GW_OWNER) == form_->hwnd()) details = w;
      return details && GetWindowTextLengthW(GetDlgItem(details, kIdDetailsField + kDfPriority)) > 0;
    });
    return details;
  }
  // Selects the entry of process `pid` as a click does; fails unless the
  // details panel then shows that process.
  ::testing::AssertionResult SelectProcess(DWORD pid) {
    auto items = harness::ListItems(Ctl(kIdList));
    const std::string prefix = "[ " + std::to_string(pid) + " : ";
    int found = -1;
    for (size_t i = 0; i < items.size() && found < 0; ++i)
      if (items[i].rfind(prefix, 0) == 0) found = static_cast<int>(i);
    if (found < 0) return ::testing::AssertionFailure() << "no entry of process " << pid;
    Select(found);
    const std::string shown = harness::TextOf(Ctl(kIdIdProcess));
    if (shown != std::to_string(pid))
      return ::testing::AssertionFailure() << "the panel shows process \"" << shown << "\"";
    return ::testing::AssertionSuccess();
  }
  void Select(int index) {
    SendMessageA(Ctl(kIdList), LB_SETCURSEL, index, 0);
    form_->GLB_ListClick();
  }

  harness::SavedProcessApi api_;  // first made, last gone
  harness::Process helper_;
  AppWindow app_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace

TEST_F(FormFixture, FixedEntriesCannotBeStopped) {
  ASSERT_EQ(SendMessageA(Ctl(kIdList), LB_GETCOUNT, 0, 0), 3);
  ASSERT_TRUE(SelectProcess(0));
  EXPECT_EQ(harness::TextOf(Ctl(kIdDisplayName)), texts::kIdleName);
  EXPECT_FALSE(IsWindowEnabled(Ctl(kIdStop)));
  EXPECT_FALSE(IsWindowEnabled(Ctl(kIdPriority)));
  EXPECT_EQ(SendMessageA(Ctl(kIdPriority), CB_GETCURSEL, 0, 0), 3);

  ASSERT_TRUE(SelectProcess(g_unreadable));  // its path reads "?"
  EXPECT_EQ(harness::TextOf(Ctl(kIdDisplayName)), texts::kSystemName);
  EXPECT_EQ(harness::TextOf(Ctl(kIdDescription)), texts::kSystemDescription);
  EXPECT_FALSE(IsWindowEnabled(Ctl(kIdStop)));
  EXPECT_TRUE(IsWindowEnabled(Ctl(kIdPriority)));

  ASSERT_TRUE(SelectProcess(GetCurrentProcessId()));  // the program's own entry
  EXPECT_FALSE(IsWindowEnabled(Ctl(kIdStop)));
  EXPECT_TRUE(IsWindowEnabled(Ctl(kIdPriority)));
}

TEST_F(FormFixture, AReusedIdentifierIsNotStopped) {
  // The listed process "started" at another time than the one now running.
  Api().GetProcessTimes = [](HANDLE p, LPFILETIME c, LPFILETIME e, LPFILETIME k,
                             LPFILETIME u) WINAPI -> BOOL {
    BOOL ok = GetProcessTimes(p, c, e, k, u);
    if (GetProcessId(p) == g_unreadable) c->dwHighDateTime ^= 1;
    return ok;
  };
  Reload();  // the listed creation time is the altered one
  Api().GetProcessTimes = api_.Saved().GetProcessTimes;
  ASSERT_TRUE(SelectProcess(g_unreadable));
  form_->BB_StopClick();
  EXPECT_TRUE(helper_.Running());
}

TEST_F(FormFixture, AnEntryActsOnItsOwnProcessWhileTheOtherTabTakesANewReading) {
  Api().GetModuleFileNameExW = SystemApi().GetModuleFileNameExW;  // a helper that can be stopped
  Reload();
  SendMessageA(Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);  // the helper's window
  ASSERT_TRUE(SelectProcess(g_unreadable));
  ASSERT_TRUE(IsWindowEnabled(Ctl(kIdStop)));
  // The helper "ends" and its ID goes to a process started later; the new
  // reading's processes part comes, its applications part is held back.
  Api().GetProcessTimes = [](HANDLE p, LPFILETIME c, LPFILETIME e, LPFILETIME k,
                             LPFILETIME u) WINAPI -> BOOL {
    BOOL ok = GetProcessTimes(p, c, e, k, u);
    if (GetProcessId(p) == g_unreadable) c->dwHighDateTime += 1;
    return ok;
  };
  g_testThread = GetCurrentThreadId();
  Gate gate;
  Api().EnumWindows = GatedEnumWindows;
  static LONG stopped;
  stopped = 0;
  Api().TerminateProcess = [](HANDLE p, UINT code) WINAPI -> BOOL {
    InterlockedIncrement(&stopped);
    return TerminateProcess(p, code);
  };
  form_->Reload();
  ASSERT_TRUE(gate.Reached());
  TakeQueued();  // the processes part, posted before the titles are read
  ASSERT_EQ(harness::TextOf(Ctl(kIdIdProcess)), std::to_string(g_unreadable));

  form_->BB_StopClick();
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_MENU] = 0x80;
  SetKeyboardState(keys);
  form_->PreTranslateKey({Ctl(kIdList), WM_SYSKEYDOWN, 'E', 0x20000001});
  keys[VK_MENU] = 0;
  SetKeyboardState(keys);
  SendMessageA(Ctl(kIdPriority), CB_SETCURSEL, 1, 0);
  form_->CB_PriorityChange();
  form_->BB_UpdateClick();
  EXPECT_EQ(stopped, 0) << "停止 or Alt+E ended the process that took over the ID";
  EXPECT_EQ(GetPriorityClass(helper_.Handle()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));

  gate.Open();
  ASSERT_TRUE(harness::WaitFor([&] { return !form_->Reloading(); }));
  EXPECT_EQ(harness::TextOf(Ctl(kIdStatusBar)).rfind(texts::kStatusReplaced, 0), 0u)
      << harness::TextOf(Ctl(kIdStatusBar));
}

TEST_F(FormFixture, AReadThatHangsDoesNotHoldTheCloseBack) {
  Gate gate;
  Api().GetModuleFileNameExW = GatedPath;
  form_->Reload();
  ASSERT_TRUE(gate.Reached());
  const HWND window = form_->hwnd();
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(gate.Passed()) << "the close waited for the read to end";
  EXPECT_EQ(ReloadWorker::ThreadsRunning(), 1) << "the read was not under way";
  gate.Open();  // the thread left behind ends once its read returns
  EXPECT_TRUE(harness::WaitFor([] { return ReloadWorker::ThreadsRunning() == 0; }, 20000));
}

TEST_F(FormFixture, ADpiChangeDuringAReloadLeavesEveryEntryItsIcon) {
  // The reload stops in the helper's path read, its idle and system icons
  // those of 96 DPI; the window moves to 144 DPI meanwhile.
  Gate gate;
  Api().GetModuleFileNameExW = GatedPath;
  form_->Reload();
  ASSERT_TRUE(gate.Reached());
  RECT outer;
  GetWindowRect(form_->hwnd(), &outer);
  const RECT suggested{outer.left, outer.top, outer.left + 960, outer.top + 720};
  SendMessageA(form_->hwnd(), ui::kWmDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  gate.Open();
  ASSERT_TRUE(harness::WaitFor([&] { return !form_->Reloading(); }));
  const int size = ui::IconSizeForDpi(144);
  for (auto [pid, resource] : {std::pair{DWORD{0}, kResIdleIcon}, std::pair{g_unreadable, kResSystemIcon}}) {
    ASSERT_TRUE(SelectProcess(pid));
    const auto icon = reinterpret_cast<HICON>(SendMessageA(Ctl(kIdIcon), STM_GETICON, 0, 0));
    ui::UniqueIcon own(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource),
                                                     IMAGE_ICON, size, size, 0)));
    ASSERT_TRUE(icon && own);
    EXPECT_EQ(harness::IconPixels(icon), harness::IconPixels(own.get())) << "process " << pid << " lost its icon";
  }
}

TEST_F(FormFixture, ADetailsWindowReadsNothingWhileItsOwnerIsMinimized) {
  ShowWindow(form_->hwnd(), SW_SHOWNOACTIVATE);
  ASSERT_TRUE(SelectProcess(GetCurrentProcessId()));
  const HWND details = OpenDetails();
  ASSERT_TRUE(details);
  constexpr WPARAM kLiveTimer = 1;
  const LONG before = g_windowThreadReads;
  ShowWindow(form_->hwnd(), SW_MINIMIZE);
  SendMessageA(details, WM_TIMER, kLiveTimer, 0);
  EXPECT_EQ(g_windowThreadReads, before) << "read while nobody could see it";
  ShowWindow(form_->hwnd(), SW_RESTORE);
  ShowWindow(details, SW_SHOWNOACTIVATE);
  SendMessageA(details, WM_TIMER, kLiveTimer, 0);
  EXPECT_GT(g_windowThreadReads, before) << "shown again, it reads again";
}

TEST_F(FormFixture, ADetailsWindowNamesTheParentUnlessItsIdNowNamesAYoungerProcess) {
  auto parentShown = [&] {
    ShowWindow(form_->hwnd(), SW_SHOWNOACTIVATE);
    EXPECT_TRUE(SelectProcess(g_unreadable));
    const HWND details = OpenDetails();
    EXPECT_TRUE(details);
    wchar_t text[256] = {};
    GetWindowTextW(GetDlgItem(details, kIdDetailsField + kDfParent), text, 256);
    DestroyWindow(details);
    return std::wstring(text);
  };
  const std::wstring self = L" (" + std::to_wstring(GetCurrentProcessId()) + L")";
  EXPECT_EQ(parentShown(), L"unit_tests.exe" + self);  // this process started the helper
  g_parentYounger = true;  // its ID now "names" a process started after the helper
  EXPECT_EQ(parentShown(), L"終了" + self);
}

TEST_F(FormFixture, ATreeToStopLeavesOutAProcessOlderThanTheParentItNames) {
  // The fixture's helper names as its parent the ID of a process started
  // after it (the ID was reused); a third process is a true child.
  harness::Process parent = harness::StartHelper("windows 1 Parent");
  harness::Process child = harness::StartHelper("windows 1 Child");
  const DWORD older = g_unreadable;
  g_unreadable = parent.Id();  // the one the seam lists, with its true path
  Api().GetModuleFileNameExW = SystemApi().GetModuleFileNameExW;
  Reload();
  ASSERT_TRUE(SelectProcess(parent.Id()));
  harness::FakeProcessSnapshot({{parent.Id(), GetCurrentProcessId()}, {older, parent.Id()}, {child.Id(), parent.Id()}});
  // Every stop refused: the processes stay, and the status bar names them.
  Api().TerminateProcess = [](HANDLE, UINT) WINAPI -> BOOL { return FALSE; };
  // The confirmation is read and answered はい from another thread.
  struct Asked {
    HWND owner;
    std::string text;
  } asked{form_->hwnd(), {}};
  base::UniqueHandle answerer(CreateThread(nullptr, 0, [](void* a) WINAPI -> DWORD {
    auto* asked = static_cast<Asked*>(a);
    HWND dialog = nullptr;
    if (!harness::WaitFor([&] {
          for (HWND w : harness::TopWindows(GetCurrentProcessId()))
            if (GetWindow(w, GW_OWNER) == asked->owner && IsWindowVisible(w)) dialog = w;
          return dialog != nullptr;
        }, 20000))
      return 1;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      asked->text += harness::TextOf(c) + "\n";
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDYES)));
    return 0;
  }, &asked, 0, nullptr));
  ASSERT_TRUE(answerer);
  form_->StopEntryTree();
  ASSERT_EQ(WaitForSingleObject(answerer.get(), 30000), WAIT_OBJECT_0);
  EXPECT_NE(asked.text.find("helper.exe (" + std::to_string(child.Id()) + ")"), std::string::npos) << asked.text;
  EXPECT_EQ(asked.text.find("(" + std::to_string(older) + ")"), std::string::npos) << asked.text;
  ASSERT_TRUE(harness::WaitFor([&] { return !form_->Reloading(); }));
  const std::string status = harness::TextOf(Ctl(kIdStatusBar));
  EXPECT_EQ(status.rfind(texts::kStatusNotStopped, 0), 0u) << status;
  EXPECT_NE(status.find("(" + std::to_string(child.Id()) + ")"), std::string::npos) << status;
  EXPECT_TRUE(parent.Running() && child.Running() && helper_.Running());
}

TEST_F(FormFixture, ThePriorityBoxTakesANewSchemesFaceColourAtOnce) {
  const int element = COLOR_BTNFACE;
  const COLORREF old = GetSysColor(element), navy = RGB(0x20, 0x30, 0x60);
  ASSERT_TRUE(SetSysColors(1, &element, &navy));
  SendMessageA(form_->hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  const HWND box = Ctl(kIdPriority);
  ui::ClientDC dc(box);
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
      GetParent(box), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(box)));
  LOGBRUSH face{};
  GetObjectA(brush, sizeof face, &face);
  SetSysColors(1, &element, &old);
  // Wine keeps colours set for the session in a volatile key, ahead of the scheme's.
  const char* volatileColours = "Software\\Wine\\Temporary System Parameters\\Control Panel\\Colors";
  HKEY kept = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, volatileColours, 0, KEY_SET_VALUE, &kept) == ERROR_SUCCESS) {
    RegDeleteValueA(kept, "ButtonFace");
    RegCloseKey(kept);
  }
  EXPECT_EQ(face.lbColor, navy);
}

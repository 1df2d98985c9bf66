// The live figures of a main window in this process, for real helper
// processes: what the list draws against what each helper reports of
// itself, an ended process, and no reading while the window is minimized
// (reads counted through the process-API seam).
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>

#include "app/app_window.h"
#include "app/control_ids.h"
#include "app/unit1.h"
#include "controls/graphic_list_box.h"
#include "harness.h"
#include "procinfo/figure_reader.h"
#include "model/snapshot.h"

namespace {

LONG g_reads;  // whole-system process lists asked for, from any thread
LONG g_refused;  // while set, the system refuses them

// The number in a figure's text ("CPU 4.5%", "メモリ 257 MB"), scaled to
// tenths of a per cent or bytes; -1 when it holds none.
double Figure(const std::wstring& text) {
  const size_t digit = text.find_first_of(L"0123456789");
  if (digit == std::wstring::npos) return -1;
  wchar_t* end = nullptr;
  double v = std::wcstod(text.c_str() + digit, &end);
  const std::wstring unit(end);
  if (unit == L"%") return v * 10;
  for (const auto& [name, scale] : {std::pair{L" KB", 1024.0}, {L" MB", 1048576.0}, {L" GB", 1073741824.0}})
    if (unit == name) return v * scale;
  return -1;
}

// The helper's own figure, from its "self N" window.
double Self(const harness::Process& p) {
  for (HWND w : harness::TopWindows(p.Id())) {
    const std::string t = harness::TextOf(w);
    if (t.rfind("self ", 0) == 0) return std::stod(t.substr(5));
  }
  return -1;
}

class FiguresFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Api().NtQuerySystemInformation = [](ULONG kind, PVOID buf, ULONG size, PULONG needed) WINAPI -> LONG {
      InterlockedIncrement(&g_reads);
      if (g_refused) return static_cast<LONG>(0xC0000022);  // access denied
      return SystemApi().NtQuerySystemInformation(kind, buf, size, needed);
    };
    g_refused = 0;
    ASSERT_TRUE(app_.Create());
    form_ = std::make_unique<TForm1>(app_.hwnd(), nullptr);
    ASSERT_TRUE(form_->Create());
    ShowWindow(form_->hwnd(), SW_SHOWNORMAL);
    form_->FormActivate();  // the first reload, then the figures every 2 s
    ASSERT_TRUE(harness::WaitFor([&] { return !form_->Reloading(); }));
  }
  void TearDown() override { form_.reset(); }
  HWND Ctl(int id) { return harness::FindChild(form_->hwnd(), id); }
  TGraphicListBox& List() { return *static_cast<TGraphicListBox*>(ui::Control::FromHandle(Ctl(kIdList))); }
  int IndexOf(DWORD pid) {
    const auto items = harness::ListItems(Ctl(kIdList));
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].rfind("[ " + std::to_string(pid) + " : ", 0) == 0) return static_cast<int>(i);
    return -1;
  }
  // The figures entry of process `pid` draws; empty when none.
  EntryFigures Drawn(DWORD pid) {
    const EntryFigures* f = List().FiguresOf(IndexOf(pid));
    return f ? *f : EntryFigures{};
  }
  void Reload() {
    form_->Reload();
    ASSERT_TRUE(harness::WaitFor([&] { return !form_->Reloading(); }));
  }

  harness::SavedProcessApi api_;  // first made, last gone
  AppWindow app_;
  std::unique_ptr<TForm1> form_;
};

// Within 10 % of each other.
bool Near(double drawn, double self) { return drawn >= 0 && self > 0 && drawn >= self * 0.9 && drawn <= self * 1.1; }

}  // namespace

// A reload lists the processes its reading of the figures names: the same
// as EnumProcesses names. Taken again while processes of other tests start
// or end between the takes.
TEST(FigureReading, NamesTheProcessesEnumProcessesNames) {
  harness::Process helper = harness::StartHelper("windows 1 Named");
  FigureReader reader;
  FigureSampler sampler;
  std::vector<DWORD> listed, enumerated, again;
  auto take = [&](std::vector<DWORD>& ids) {
    ids.clear();
    if (reader.Read(sampler))
      for (uint32_t id : reader.ProcessIds()) ids.push_back(id);
    std::sort(ids.begin(), ids.end());
  };
  for (int attempt = 0; attempt < 10 && (listed.empty() || listed != again); ++attempt) {
    take(listed);
    enumerated = EnumAllProcessIds();
    std::sort(enumerated.begin(), enumerated.end());
    take(again);
  }
  ASSERT_EQ(listed, again) << "no two takes in a row named the same processes";
  EXPECT_EQ(listed, enumerated);
  EXPECT_TRUE(std::binary_search(listed.begin(), listed.end(), helper.Id()));
}

TEST_F(FiguresFixture, TheListDrawsWhatEachHelperReportsOfItself) {
  harness::Process busy = harness::StartHelper("busy");
  harness::Process big = harness::StartHelper("commit 256");
  Reload();
  double drawn = -1, self = -1;
  EXPECT_TRUE(harness::WaitFor([&] {
    drawn = Figure(Drawn(busy.Id()).first), self = Self(busy);
    return Near(drawn, self);
  }, 15000)) << "drawn " << drawn << ", the helper's own " << self << " (tenths of a per cent)";
  EXPECT_TRUE(harness::WaitFor([&] {
    drawn = Figure(Drawn(big.Id()).second), self = Self(big);
    return Near(drawn, self) && self >= 256.0 * 1048576;
  }, 15000)) << "drawn " << drawn << " bytes, the helper's own " << self;
}

TEST_F(FiguresFixture, AnEndedProcessTurnsEndedWithinOneRefreshAndCannotBeStopped) {
  harness::Process ending = harness::StartHelper("windows 1 Ending");
  Reload();
  ASSERT_TRUE(harness::WaitFor([&] { return Figure(Drawn(ending.Id()).second) > 0; }, 5000));
  const int index = IndexOf(ending.Id());
  SendMessageA(Ctl(kIdList), LB_SETCURSEL, index, 0);
  form_->GLB_ListClick();
  ASSERT_TRUE(IsWindowEnabled(Ctl(kIdStop)));
  ASSERT_TRUE(ending.Kill());
  const DWORD killed = GetTickCount();
  ASSERT_TRUE(harness::WaitFor([&] { return Drawn(ending.Id()).ended; }, 5000));
  EXPECT_LE(GetTickCount() - killed, 2000u + 500u) << "more than one refresh";
  EXPECT_EQ(Drawn(ending.Id()).first, L"終了");
  EXPECT_EQ(IndexOf(ending.Id()), index) << "the entry stays until the next reload";
  EXPECT_FALSE(IsWindowEnabled(Ctl(kIdStop)));
  EXPECT_FALSE(IsWindowEnabled(Ctl(kIdPriority)));
  Reload();
  EXPECT_EQ(IndexOf(ending.Id()), -1);
}

// The refresh ticks a window gets, counted as its thread takes them.
class Ticks {
 public:
  explicit Ticks(HWND form) {
    form_ = form;
    count_ = 0;
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, Count, nullptr, GetCurrentThreadId());
  }
  ~Ticks() { UnhookWindowsHookEx(hook_); }
  Ticks(const Ticks&) = delete;
  Ticks& operator=(const Ticks&) = delete;
  bool Hooked() const { return hook_ != nullptr; }
  int Count() const { return count_; }

 private:
  static LRESULT CALLBACK Count(int code, WPARAM wp, LPARAM lp) {
    const MSG* m = reinterpret_cast<const MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && m->hwnd == form_ && m->message == WM_TIMER &&
        m->wParam == TForm1::kFigureTimer)
      ++count_;
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  static inline HWND form_;
  static inline int count_;
  HHOOK hook_;
};

TEST_F(FiguresFixture, OrderedByAFigureEachRefreshKeepsTheSelectedProcessWhereItWas) {
  harness::Process busy = harness::StartHelper("busy");
  harness::Process later = harness::StartHelper("busy 5000");  // busy from 5 s on
  Reload();
  form_->OrderBy(TForm1::kByCpu);
  const HWND list = Ctl(kIdList);
  ASSERT_TRUE(harness::WaitFor([&] { return harness::IdAt(list, 0) == busy.Id(); }, 4500));
  // The entry just above the late helper, which is to move up past it.
  const int index = IndexOf(later.Id()) - 1;
  ASSERT_GE(index, 1);
  const DWORD kept = harness::IdAt(list, index);
  SendMessageA(list, LB_SETCURSEL, index, 0);
  form_->GLB_ListClick();
  const int row = index - static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  // A refresh moves the late helper up past the selected entry.
  ASSERT_TRUE(harness::WaitFor([&] { return IndexOf(later.Id()) < 2; }, 10000));
  const int now = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  EXPECT_EQ(harness::IdAt(list, now), kept) << "the selection moved";
  EXPECT_EQ(harness::TextOf(Ctl(kIdIdProcess)), std::to_string(kept));
  // Its row in the view, unless the list cannot scroll that far.
  const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  RECT last{}, client{};
  SendMessageA(list, LB_GETITEMRECT, SendMessageA(list, LB_GETCOUNT, 0, 0) - 1, reinterpret_cast<LPARAM>(&last));
  GetClientRect(list, &client);
  const bool atALimit = (now - top < row && top == 0) || (now - top > row && last.bottom <= client.bottom);
  EXPECT_TRUE(now - top == row || atALimit) << "row " << now - top << ", was " << row;
}

TEST_F(FiguresFixture, NothingIsReadWhileMinimized) {
  const HWND form = form_->hwnd();
  Ticks ticks(form);
  ASSERT_TRUE(ticks.Hooked());
  ShowWindow(form, SW_MINIMIZE);
  const LONG before = g_reads;
  EXPECT_TRUE(harness::WaitFor([&] { return ticks.Count() >= 3; }, 10000));
  EXPECT_EQ(g_reads, before) << "read while minimized";
  ShowWindow(form, SW_RESTORE);
  EXPECT_TRUE(harness::WaitFor([&] { return g_reads > before; }, 5000)) << "not read once restored";
}

TEST_F(FiguresFixture, FiguresThatCannotBeReadShowADashNeverAZero) {
  const DWORD own = GetCurrentProcessId();
  ASSERT_TRUE(harness::WaitFor([&] { return Figure(Drawn(own).second) > 0; }, 5000));
  InterlockedExchange(&g_refused, 1);
  EXPECT_TRUE(harness::WaitFor([&] { return Drawn(own).first == L"CPU —"; }, 5000));
  EXPECT_EQ(Drawn(own).second, L"メモリ —");
  EXPECT_FALSE(Drawn(own).ended);
  Reload();  // its processes then come from EnumProcesses
  EXPECT_EQ(Drawn(own).first, L"CPU —");
}

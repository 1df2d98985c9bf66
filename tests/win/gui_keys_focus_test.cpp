// Keyboard-only use of the real Vorlane.exe: the tabs, where the focus goes,
// Japanese input in the list and a flood of F5, with real keys from outside
// its process (SendInput, and xdotool through the display).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/texts.h"
#include "harness.h"
#include "keys_app.h"

using namespace harness;
using namespace keys;

namespace {

// Keys typed through the display's own input (xdotool), as a keyboard does.
void XKeys(const std::string& keys) {
  char display[64] = {};
  GetEnvironmentVariableA("DISPLAY", display, sizeof display);
  ASSERT_TRUE(RunUnix(std::string("/bin/sh -c \"DISPLAY=") + display + " /usr/bin/xdotool key " + keys + "\""));
}

int CurrentTab(const KeysApp& app) {
  return static_cast<int>(Send(app.Ctl(kIdTabMain), TCM_GETCURSEL, 0, 0));
}

// Presses Tab (or Shift+Tab) once; the new focus, or null when it did not move.
HWND TabOnce(HWND form, bool back = false) {
  const HWND before = FocusOf(form);
  if (back)
    Chord({VK_SHIFT, VK_TAB});
  else
    PressKey(VK_TAB);
  return WaitFor([&] { return FocusOf(form) != before; }, 5000) ? FocusOf(form) : nullptr;
}

// Tabs forward until `target` has the focus, at most a round of the window.
bool TabTo(HWND form, HWND target) {
  for (int i = 0; i < 20 && FocusOf(form) != target; ++i)
    if (!TabOnce(form)) return false;
  return FocusOf(form) == target;
}

void ClickInto(HWND form, HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  ASSERT_TRUE(ClickUntil(form, {r.left + 10, (r.top + r.bottom) / 2}, [&] { return FocusOf(form) == control; }));
}

// Entry `index` as the screen shows it, read once two reads agree.
std::vector<COLORREF> EntryPixels(HWND list, int index, RECT& r) {
  Send(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
  std::vector<COLORREF> now, before;
  EXPECT_TRUE(WaitFor([&] {
    ScreenPixels shot(r);
    before.swap(now), now.clear();
    for (int y = r.top; shot.Valid() && y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) now.push_back(shot.Pixel(x, y));
    return !now.empty() && now == before;
  }));
  return now;
}

}  // namespace

TEST(Keys, TabsTakeTheFocusAndCtrlKeysSwitchThemFromAnywhere) {
  Process helper = StartHelper("windows 1 TabKeys");
  KeysApp app;
  const HWND tabs = app.Ctl(kIdTabMain), list = app.List();
  const std::string appEntry = Prefix(helper.Id()) + " TabKeys 1";
  auto onTab = [&](int tab) {
    return WaitFor([&] { return CurrentTab(app) == tab && (app.IndexOf(appEntry) >= 0) == (tab == 1); });
  };
  ASSERT_TRUE(app.Select(0, EntryId(list, 0)));
  ASSERT_EQ(FocusOf(app.form), list);
  RECT status, entry;
  GetWindowRect(app.Ctl(kIdStatusBar), &status);
  MovePointer(status.right - 4, status.top + 2);  // no hot look
  const std::vector<COLORREF> byPointer = EntryPixels(list, 0, entry);

  // One round of Tab: every stop once, the tab control last, right before the list.
  std::vector<HWND> round{TabOnce(app.form)};
  EXPECT_TRUE(EntryPixels(list, 0, entry) == byPointer);  // keys used, but no focus: no cue
  for (HWND f = TabOnce(app.form); f && f != list && round.size() < 20; f = TabOnce(app.form))
    round.push_back(f);
  // Back in the list after keys: its focus cue frames the entry, 2 pixels in.
  const std::vector<COLORREF> byKeys = EntryPixels(list, 0, entry);
  int onRing = 0, elsewhere = 0, w = entry.right - entry.left, h = entry.bottom - entry.top;
  ASSERT_EQ(byKeys.size(), byPointer.size());
  for (int i = 0, x = 0, y = 0; i < static_cast<int>(byKeys.size()); ++i, x = i % w, y = i / w)
    if (byKeys[i] != byPointer[i]) ++(x == 2 || y == 2 || x == w - 3 || y == h - 3 ? onRing : elsewhere);
  EXPECT_GT(onRing, w / 2);
  EXPECT_EQ(elsewhere, 0);
  ASSERT_FALSE(round.empty());
  EXPECT_EQ(round.back(), tabs);
  EXPECT_EQ(std::count(round.begin(), round.end(), tabs), 1);
  EXPECT_EQ(FocusOf(app.form), list);

  // Shift+Tab from the list stops on the tabs; the arrows switch there.
  EXPECT_EQ(TabOnce(app.form, true), tabs);
  PressKey(VK_RIGHT);
  EXPECT_TRUE(onTab(1));
  PressKey(VK_LEFT);
  EXPECT_TRUE(onTab(0));
  EXPECT_EQ(FocusOf(app.form), tabs);
  EXPECT_EQ(TabOnce(app.form), list);

  // The Ctrl keys switch wherever the focus is; it stays there.
  const HWND edit = app.Ctl(kIdFileName);
  ClickInto(app.form, edit);
  const std::vector<std::pair<std::vector<WORD>, int>> steps = {
      {{VK_CONTROL, VK_TAB}, 1},  {{VK_CONTROL, VK_TAB}, 0},  {{VK_CONTROL, VK_SHIFT, VK_TAB}, 1},
      {{VK_CONTROL, VK_NEXT}, 0}, {{VK_CONTROL, VK_PRIOR}, 1}, {{VK_CONTROL, VK_PRIOR}, 0}};
  for (const auto& [keys, tab] : steps) {
    Chord(keys);
    EXPECT_TRUE(onTab(tab)) << keys.size() << " keys, ending " << keys.back();
  }
  EXPECT_EQ(FocusOf(app.form), edit);
  // From the list, with keys the X server makes.
  ASSERT_TRUE(app.Select(0, EntryId(list, 0)));
  XKeys("ctrl+Next");
  EXPECT_TRUE(onTab(1));
  XKeys("ctrl+shift+Tab");
  EXPECT_TRUE(onTab(0));
  EXPECT_EQ(FocusOf(app.form), list);
}

TEST(Keys, FocusGoesToTheListFromADisabledButtonAndBackAfterASecondStart) {
  Process helper = StartHelper("windows 1 Focus");
  Process other = StartHelper("windows 1 Elsewhere");
  KeysApp app;
  const HWND list = app.List();
  int index = app.IndexOf(Prefix(helper.Id()));
  ASSERT_GE(index, 0);
  ASSERT_TRUE(app.Select(index, helper.Id()));
  // 更新 after a new priority chosen with the keys: it disables itself.
  const HWND priority = app.Ctl(kIdPriority), update = app.Ctl(kIdUpdate), stop = app.Ctl(kIdStop);
  ASSERT_TRUE(TabTo(app.form, priority));
  PressKey(VK_DOWN);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(update) != FALSE; }));
  ASSERT_TRUE(TabTo(app.form, update));
  PressKey(VK_SPACE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(update); }));
  EXPECT_TRUE(WaitFor([&] { return FocusOf(app.form) == list; }));
  // 停止 stops the helper and reloads: no entry, every button disabled.
  ASSERT_TRUE(TabTo(app.form, stop));
  PressKey(VK_SPACE);
  EXPECT_EQ(helper.Wait(10000), 0);
  EXPECT_TRUE(WaitFor([&] { return FocusOf(app.form) == list && !IsWindowEnabled(stop); }));
  // The keys work on: Down selects an entry.
  PressKey(VK_DOWN);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) >= 0 && !app.ShownId().empty(); }));

  // A second start while another program is in front: the main window comes
  // back active, the focus where it was.
  const HWND edit = app.Ctl(kIdFileName);
  ClickInto(app.form, edit);
  const HWND elsewhere = FindTitled(other.Id(), "Elsewhere 1");
  ASSERT_NE(elsewhere, nullptr);
  ASSERT_TRUE(BringForward(elsewhere));
  Process second;
  ASSERT_TRUE(second.Start("\"" + CopyExe(TestDir() + "elsewhere", "Vorlane.exe") + "\""));
  EXPECT_EQ(second.Wait(15000), 0);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.form; }));
  EXPECT_EQ(FocusOf(app.form), edit);
  // Tab moves on from there, as the keys do in an active window.
  EXPECT_NE(TabOnce(app.form), nullptr);
}

TEST(Keys, JapaneseCharactersFindImageNamesOrLeaveTheSelection) {
  // A helper whose image name is "表示.exe"; "表" ends in the byte 0x5C.
  const std::string dir = TestDir() + "jp";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string jp = dir + "\\\x95\x5C\x8E\xA6.exe";
  ASSERT_TRUE(CopyFileA((TestDir() + "helper.exe").c_str(), jp.c_str(), FALSE));
  Process helper;
  ASSERT_TRUE(helper.Start("\"" + jp + "\" windows 1 Jp"));
  ASSERT_TRUE(WaitReady(helper));
  KeysApp app;
  const HWND list = app.List();
  const int index = app.IndexOf("[ " + std::to_string(helper.Id()) + " : \x95\x5C\x8E\xA6.exe ]");
  ASSERT_GE(index, 0);
  const int start = index == 1 ? 2 : 1;
  ASSERT_TRUE(app.Select(start, EntryId(list, start)));
  // Characters as an IME gives them, one UTF-16 unit each; a window made
  // with the ANSI calls gets each as its lead and its trail byte.
  auto typeBytes = [&](const std::string& bytes) {
    wchar_t wide[16] = {};
    const int n = MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), wide, 16);
    for (int i = 0; i < n; ++i) PostMessageW(list, WM_CHAR, wide[i], 1);
  };
  typeBytes("\x95\x5C");  // 表
  EXPECT_TRUE(WaitFor([&] { return app.ShownId() == std::to_string(helper.Id()); }));
  EXPECT_EQ(ListSelection(list), index);
  // "表ア", typed within the pause, begins no name: the selection stays, as
  // the Down key after it shows. (The pause itself is timed natively.)
  // Up instead where the helper's entry is the last (identifiers are reused).
  typeBytes("\x83\x41");
  const bool last = index + 1 == app.Count();
  PressKey(last ? VK_UP : VK_DOWN);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == index + (last ? -1 : 1); }));
  ASSERT_TRUE(app.Select(start, EntryId(list, start)));
  typeBytes("\x83\x41\x81\x40");  // ア and the ideographic space
  PressKey(VK_DOWN);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == start + 1; }));
}

TEST(Keys, F5HeldOrQueuedReloadsOnceOrTwice) {
  // Each reload asks each of these windows for its title once. Each answers
  // after 80 ms (within the program's wait for one window), so that a reload
  // lasts far longer than queueing the flood takes, even on a busy machine:
  // every press is in the queue before the second reload.
  constexpr int kWindows = 4;
  Process counted = StartHelper("slow " + std::to_string(kWindows) + " 80 Counted");
  const HWND counter = FindTopWindow(counted.Id(), "VorlaneSlow");
  ASSERT_NE(counter, nullptr);
  KeysApp app;
  // Counted once no reload runs: by then each reload has asked every window.
  const HWND status = app.Ctl(kIdStatusBar);
  auto reloads = [&] {
    EXPECT_TRUE(WaitFor([&] { return TextOf(status) != texts::kLoading; }));
    return static_cast<int>(Send(counter, WM_APP, 0, 0)) / kWindows;
  };
  const HWND list = app.List();
  ASSERT_TRUE(app.Select(1, EntryId(list, 1)));
  auto pressF5 = [](int downs, int ups) {
    std::vector<INPUT> in;
    for (int i = 0; i < std::max(downs, ups); ++i)
      for (bool up : {false, true}) {
        if (up ? i >= ups : i >= downs) continue;
        INPUT k{};
        k.type = INPUT_KEYBOARD;
        k.ki.wVk = VK_F5;
        k.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(k);
      }
    ASSERT_EQ(SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)), in.size());
  };
  // A tab switch shows when the keys before it have been handled.
  auto handled = [&](WORD key, int tab) {
    Chord({VK_CONTROL, key});
    return WaitFor([&] { return CurrentTab(app) == tab; }, 120000);
  };

  int before = reloads();
  pressF5(300, 300);  // 300 presses, queued at once
  ASSERT_TRUE(handled(VK_NEXT, 1));
  const int flood = reloads() - before;
  EXPECT_GE(flood, 1);
  EXPECT_LE(flood, 2);

  // Held: the press, repeats queued while its reload runs, then repeats
  // spaced in time after it has ended, each handled before the next is
  // sent. Only the press reloads; each repeat after the reload is as new
  // as a press would be, so only its repeat flag keeps it from reloading.
  before = reloads();
  pressF5(4, 0);
  ASSERT_TRUE(handled(VK_PRIOR, 0));
  EXPECT_EQ(reloads() - before, 1);
  for (int i = 0; i < 3; ++i) {
    pressF5(1, 0);
    ASSERT_TRUE(handled(i % 2 ? VK_PRIOR : VK_NEXT, i % 2 ? 0 : 1)) << "repeat " << i;
  }
  pressF5(0, 1);
  ASSERT_TRUE(handled(VK_PRIOR, 0));
  EXPECT_EQ(reloads() - before, 1);

  // A press after all that still reloads.
  before = reloads();
  PressKey(VK_F5);
  EXPECT_TRUE(WaitFor([&] { return reloads() - before == 1; }));
}

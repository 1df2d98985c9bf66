// The keys and the context menu of the real Vorlane.exe, driven with real
// input (SendInput through the display) from outside its process.
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "harness.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace harness;

namespace {

// The program as the fixture starts it, with what these tests read of it.
struct KeysApp : App {
  HWND List() const { return Ctl(kIdList); }
  int Count() const { return ListCount(); }
  std::string ShownId() const { return TextOf(Ctl(kIdIdProcess)); }
  // A point on entry `index`, scrolled into view, on screen.
  POINT EntryPoint(int index) const {
    SendMessageA(List(), LB_SETTOPINDEX, index, 0);
    RECT r;
    SendMessageA(List(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    POINT p{r.left + 200, (r.top + r.bottom) / 2};
    ClientToScreen(List(), &p);
    return p;
  }
  bool Select(int index, DWORD pid) const { return SelectEntry(index, pid); }
  HWND OpenMenu() const {
    HWND m = FindTopWindow(process.Id(), "#32768");
    return m && IsWindowVisible(m) ? m : nullptr;
  }
};

void Mouse(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

void RightClickAt(POINT p) {
  MovePointer(p.x, p.y);
  Mouse(MOUSEEVENTF_RIGHTDOWN);
  Mouse(MOUSEEVENTF_RIGHTUP);
}

void DoubleClickAt(POINT p) {
  MovePointer(p.x, p.y);
  for (int i = 0; i < 2; ++i) {
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_LEFTUP);
  }
}

// Presses the keys in order and releases them in reverse: a chord.
void Chord(const std::vector<WORD>& keys) {
  std::vector<INPUT> in;
  for (WORD k : keys) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k;
    if (k == VK_INSERT) i.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    in.push_back(i);
  }
  for (size_t k = keys.size(); k-- > 0;) {
    INPUT i = in[k];
    i.ki.dwFlags |= KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void Type(const std::string& letters) {
  for (char c : letters) PressKey(static_cast<WORD>(toupper(static_cast<unsigned char>(c))));
}

// The clipboard's text in one format: UTF-16 code units or ANSI bytes as
// stored; empty when the format is absent.
template <typename Char>
std::basic_string<Char> ClipboardText(UINT format) {
  std::basic_string<Char> text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE h = GetClipboardData(format)) {
    if (auto* p = static_cast<const Char*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return text;
}

void EmptyTheClipboard() {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
}

bool ClipboardHasText() { return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }

// Text is announced as soon as the program sets its first format, while it
// still holds the clipboard open for the second: wait until it can be read.
bool ClipboardReadable() {
  if (!ClipboardHasText() || !OpenClipboard(nullptr)) return false;
  CloseClipboard();
  return true;
}

// The keyboard focus of the thread that owns `w`.
HWND FocusOf(HWND w) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info);
  return info.hwndFocus;
}

DWORD EntryId(HWND list, int index) {
  return static_cast<DWORD>(std::stoul(ListItems(list)[static_cast<size_t>(index)].substr(2)));
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

TEST(Keys, F5ReloadsFromAnyFocusAndTypingFindsByImageName) {
  KeysApp app;
  ASSERT_TRUE(app.form);
  Process helper = StartHelper("windows 1 Late");
  EXPECT_EQ(app.IndexOf(Prefix(helper.Id())), -1);  // started after the first load
  // F5 with the focus in the details panel.
  HWND edit = app.Ctl(kIdFileName);
  RECT r;
  GetWindowRect(edit, &r);
  ASSERT_TRUE(WaitFor([&] {
    if (FocusOf(app.form) == edit) return true;
    SetForegroundWindow(app.form);
    ClickAt(r.left + 10, (r.top + r.bottom) / 2);
    Sleep(200);
    return false;
  }));
  PressKey(VK_F5);
  ASSERT_TRUE(WaitFor([&] { return app.IndexOf(Prefix(helper.Id())) >= 0; }));
  EXPECT_EQ(FocusOf(app.form), edit);

  // Letters in the list: the helper's entry, and the panel filled as on a click.
  ASSERT_TRUE(app.Select(1, EntryId(app.List(), 1)));
  Type("helper");
  ASSERT_TRUE(WaitFor([&] { return app.ShownId() == std::to_string(helper.Id()); }));
  const int selected = app.IndexOf(Prefix(helper.Id()));
  EXPECT_EQ(ListSelection(app.List()), selected);
  EXPECT_EQ(TextOf(app.Ctl(kIdMemo)), "Late 1\r\n");
  // Typing that finds nothing leaves the selection alone: the Up key after
  // it moves from the helper's entry.
  Type("qqxz");
  PressKey(VK_UP);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(app.List()) == selected - 1; }));
}

TEST(Keys, CopyPutsTheEntryOnTheClipboardInUnicodeAndCodePage932) {
  // "表示ソフト": two of its characters end in the byte 0x5C in code page 932.
  Process helper = StartHelper("windows 2 \x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67");
  KeysApp app;
  const int index = app.IndexOf(Prefix(helper.Id()));
  ASSERT_GE(index, 0);
  ASSERT_TRUE(app.Select(index, helper.Id()));
  const std::string path = TestDir() + "helper.exe";
  const std::string id = std::to_string(helper.Id());
  const std::wstring wide = L"プロセスID：" + Wide(id) + L"\r\nイメージ名：helper.exe\r\n会社名：\r\n"
                            L"説　明：\r\n実ファイル：" + Wide(path) + L"\r\n表示ソフト 2\r\n表示ソフト 1\r\n";
  const std::string ansi = "プロセスID：" + id + "\r\nイメージ名：helper.exe\r\n会社名：\r\n説　明：\r\n"
                           "実ファイル：" + path + "\r\n表示ソフト 2\r\n表示ソフト 1\r\n";

  for (const std::vector<WORD>& keys : {std::vector<WORD>{VK_CONTROL, 'C'}, {VK_CONTROL, VK_INSERT}}) {
    EmptyTheClipboard();
    Chord(keys);
    ASSERT_TRUE(WaitFor(ClipboardReadable));
    EXPECT_EQ(ClipboardText<wchar_t>(CF_UNICODETEXT), wide);
    EXPECT_EQ(ClipboardText<char>(CF_TEXT), ansi);
  }

  // The context menu on a right click; Escape closes it and does nothing.
  EmptyTheClipboard();
  const POINT at = app.EntryPoint(index);
  RightClickAt(at);
  ASSERT_TRUE(WaitFor([&] { return app.OpenMenu() != nullptr; }));
  SaveScreenshot("context_menu");
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return app.OpenMenu() == nullptr; }));
  EXPECT_FALSE(ClipboardHasText());
  // Its copy item, by its access key, copies as the keys do.
  RightClickAt(at);
  ASSERT_TRUE(WaitFor([&] { return app.OpenMenu() != nullptr; }));
  PressKey('C');
  ASSERT_TRUE(WaitFor(ClipboardReadable));
  EXPECT_EQ(ClipboardText<wchar_t>(CF_UNICODETEXT), wide);
  // Left as found. Under Wine, text that a Vorlane now closed put there
  // stops the home-page test's stand-in browser from receiving its command.
  EmptyTheClipboard();
}

TEST(Keys, MenuStopDoesWhatTheButtonDoes) {
  Process helper = StartHelper("windows 1 Menu");
  KeysApp app;
  // On the program's own entry the button is disabled, so is the menu item.
  const int own = app.IndexOf("[ " + std::to_string(app.process.Id()) + " : Vorlane.exe ]");
  ASSERT_GE(own, 0);
  ASSERT_TRUE(app.Select(own, app.process.Id()));
  ASSERT_FALSE(IsWindowEnabled(app.Ctl(kIdStop)));
  Chord({VK_SHIFT, VK_F10});
  ASSERT_TRUE(WaitFor([&] { return app.OpenMenu() != nullptr; }));
  PressKey('E');
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return app.OpenMenu() == nullptr; }));
  EXPECT_TRUE(app.process.Running());

  // On the helper's entry, chosen by the right click itself, it stops the
  // process and reloads, as "停止(E)" does.
  const int index = app.IndexOf(Prefix(helper.Id()));
  ASSERT_GE(index, 0);
  SetForegroundWindow(app.form);
  RightClickAt(app.EntryPoint(index));
  ASSERT_TRUE(WaitFor([&] { return app.OpenMenu() != nullptr; }));
  EXPECT_EQ(app.ShownId(), std::to_string(helper.Id()));
  EXPECT_TRUE(IsWindowEnabled(app.Ctl(kIdStop)));
  PressKey('E');
  EXPECT_EQ(helper.Wait(5000), 0);
  EXPECT_TRUE(WaitFor([&] { return app.IndexOf(Prefix(helper.Id())) == -1; }));
  EXPECT_EQ(app.ShownId(), "");
}

TEST(Keys, DoubleClickAndEnterSwitchToTheApplicationWindow) {
  Process helper = StartHelper("windows 2 Switch");
  HWND one = nullptr, two = nullptr;
  for (HWND w : TopWindows(helper.Id())) {
    if (TextOf(w) == "Switch 1") one = w;
    if (TextOf(w) == "Switch 2") two = w;
  }
  ASSERT_TRUE(one && two);
  ShowWindow(one, SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(one) != FALSE; }));
  KeysApp app;
  SendMessageA(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  const int index = app.IndexOf(Prefix(helper.Id()) + " Switch 1");
  ASSERT_GE(index, 0);
  // No click before the double click: a click shortly before would make it a
  // double click and a third, activating click.
  SetForegroundWindow(app.form);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.form; }));
  DoubleClickAt(app.EntryPoint(index));
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(one) && GetForegroundWindow() == one; }));
  EXPECT_EQ(app.ShownId(), std::to_string(helper.Id()));

  // Enter on the other entry.
  const int other = app.IndexOf(Prefix(helper.Id()) + " Switch 2");
  ASSERT_GE(other, 0);
  ASSERT_TRUE(WaitFor([&] {
    if (ListSelection(app.List()) == other && GetForegroundWindow() == app.form) return true;
    SetForegroundWindow(app.form);
    POINT p = app.EntryPoint(other);
    ClickAt(p.x, p.y);
    Sleep(200);
    return false;
  }));
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == two; }));

  // A window gone since the reload: nothing happens, no message box.
  helper.Kill();
  SetForegroundWindow(app.form);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.form; }));
  PressKey(VK_RETURN);
  PressKey(VK_F5);
  ASSERT_TRUE(WaitFor([&] { return app.IndexOf(Prefix(helper.Id())) == -1; }));
  EXPECT_EQ(GetForegroundWindow(), app.form);
  EXPECT_EQ(FindTopWindow(app.process.Id(), "#32770"), nullptr);
  EXPECT_EQ(FindTopWindow(app.process.Id(), "TMessageForm"), nullptr);
}

namespace {

int CurrentTab(const KeysApp& app) {
  return static_cast<int>(SendMessageA(app.Ctl(kIdTabMain), TCM_GETCURSEL, 0, 0));
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
  ASSERT_TRUE(WaitFor([&] {
    if (FocusOf(form) == control) return true;
    SetForegroundWindow(form);
    ClickAt(r.left + 10, (r.top + r.bottom) / 2);
    Sleep(200);
    return false;
  }));
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

  // One round of Tab: every stop once, the tab control last, right before the list.
  std::vector<HWND> round;
  for (HWND f = TabOnce(app.form); f && f != list && round.size() < 20; f = TabOnce(app.form))
    round.push_back(f);
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
  SetForegroundWindow(app.form);
  ASSERT_TRUE(app.Select(0, EntryId(list, 0)));
  Chord({VK_CONTROL, VK_NEXT});
  EXPECT_TRUE(onTab(1));
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
  const HWND elsewhere = FindWindowA(nullptr, "Elsewhere 1");
  ASSERT_TRUE(WaitFor([&] {
    SetForegroundWindow(elsewhere);
    return GetForegroundWindow() == elsewhere;
  }));
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
  const std::string ready = "ready " + std::to_string(helper.Id());
  ASSERT_TRUE(WaitFor([&] { return FindWindowA(nullptr, ready.c_str()) != nullptr; }));
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
  // "表ア" begins no name, and "ア" alone after a pause neither: the
  // selection stays, as the Down key after them shows.
  typeBytes("\x83\x41");
  PressKey(VK_DOWN);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == index + 1; }));
  ASSERT_TRUE(app.Select(start, EntryId(list, start)));
  typeBytes("\x83\x41\x81\x40");  // ア and the ideographic space
  PressKey(VK_DOWN);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == start + 1; }));
}

TEST(Keys, F5HeldOrQueuedReloadsOnceOrTwice) {
  // Each reload asks this window for its title once.
  Process counted = StartHelper("slow 1 0 Counted");
  const HWND counter = FindTopWindow(counted.Id(), "VorlaneSlow");
  ASSERT_NE(counter, nullptr);
  auto reloads = [&] { return static_cast<int>(SendMessageA(counter, WM_APP, 0, 0)); };
  KeysApp app;
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

  before = reloads();
  pressF5(40, 0);  // held: one press, then the key's repeats
  pressF5(0, 1);
  ASSERT_TRUE(handled(VK_PRIOR, 0));
  EXPECT_EQ(reloads() - before, 1);

  // A press after all that still reloads.
  before = reloads();
  PressKey(VK_F5);
  EXPECT_TRUE(WaitFor([&] { return reloads() - before == 1; }));
}

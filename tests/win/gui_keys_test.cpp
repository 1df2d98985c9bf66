// The keys and the context menu of the real Vorlane.exe, driven with real
// input (SendInput through the display) from outside its process.
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

void Type(const std::string& letters) {
  for (char c : letters) PressKey(static_cast<WORD>(toupper(static_cast<unsigned char>(c))));
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
  ASSERT_TRUE(ClickUntil(app.form, {r.left + 10, (r.top + r.bottom) / 2}, [&] { return FocusOf(app.form) == edit; }));
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
  // it moves from the helper's entry. Other suites' processes come and go in
  // the list meanwhile: the entry above is known by its ID, not its index.
  const DWORD above = EntryId(app.List(), selected - 1);
  Type("qqxz");
  PressKey(VK_UP);
  EXPECT_TRUE(WaitFor([&] { return app.ShownId() == std::to_string(above); }));
}

TEST(Keys, CopyPutsTheEntryOnTheClipboardInUnicodeAndCodePage932) {
  // "表示ソフト": two of its characters end in the byte 0x5C in code page 932.
  Process helper = StartHelper("windows 2 \x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67");
  KeysApp app;
  const int index = app.IndexOf(Prefix(helper.Id()));
  ASSERT_GE(index, 0);
  ASSERT_TRUE(app.Select(index, helper.Id()));
  const ClipboardLeftEmpty leftEmpty;
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
  // Left empty as found (leftEmpty): under Wine, text that a Vorlane now
  // closed put there stops the home-page test's stand-in browser from
  // receiving its command.
}

// The entries' process IDs, read into a fixed buffer: a reorder may lengthen entry i.
std::vector<unsigned long> ListedIds(const KeysApp& app) {
  std::vector<unsigned long> ids;
  for (int i = 0, n = app.Count(); i < n; ++i) {
    wchar_t text[4096] = {};
    if (SendW(app.List(), LB_GETTEXTLEN, i) < 4000)
      SendW(app.List(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    ids.push_back(wcstoul(text + 2, nullptr, 10));
  }
  return ids;
}

TEST(Keys, MenuStopDoesWhatTheButtonDoesAndEveryActionHasAKey) {
  Process helper = StartHelper("windows 1 Menu");
  Process byAltE = StartHelper("windows 1 AltE");
  KeysApp app;
  // Alt+E, as "停止(E)" says, wherever the focus is.
  ASSERT_TRUE(app.Select(app.IndexOf(Prefix(byAltE.Id())), byAltE.Id()));
  Chord({VK_MENU, 'E'});
  EXPECT_EQ(byAltE.Wait(5000), 0);
  // The orderings from the entry menu and the window menu, the home page
  // from the window menu.
  auto ascending = [&] { const auto ids = ListedIds(app); return std::is_sorted(ids.begin(), ids.end()); };
  auto listed = [&](DWORD id) { const auto ids = ListedIds(app); return std::count(ids.begin(), ids.end(), id) > 0; };
  ASSERT_TRUE(WaitFor([&] { return !listed(byAltE.Id()) && ascending(); }));
  auto fromMenu = [&](const std::vector<WORD>& opener, WORD key) {
    ASSERT_TRUE(WaitFor([&] { return app.OpenMenu() == nullptr; }));
    // The entry menu is an entry's: an ordering leaves none selected.
    if (opener[0] == VK_SHIFT) ASSERT_TRUE(app.Select(1, EntryId(app.List(), 1)));
    Chord(opener);
    ASSERT_TRUE(WaitFor([&] { return app.OpenMenu() != nullptr; }));
    PressKey(key);
  };
  // Both orderings from each menu, each item undoing the other's order.
  for (const std::vector<WORD> opener : {std::vector<WORD>{VK_SHIFT, VK_F10}, {VK_MENU, VK_SPACE}}) {
    fromMenu(opener, 'F');
    EXPECT_TRUE(WaitFor([&] { return !ascending(); })) << opener[0];
    fromMenu(opener, 'P');
    EXPECT_TRUE(WaitFor(ascending)) << opener[0];
  }
  fromMenu({VK_MENU, VK_SPACE}, 'K');
  HWND confirmation = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (confirmation = FindTopWindow(app.process.Id(), "TMessageForm")) != nullptr; }));
  PostMessageA(confirmation, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(confirmation); }));

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
  ASSERT_TRUE(BringForward(app.form));
  RightClickAt(app.EntryPoint(index));
  ASSERT_TRUE(WaitFor([&] { return app.OpenMenu() != nullptr; }));
  EXPECT_EQ(app.ShownId(), std::to_string(helper.Id()));
  EXPECT_TRUE(IsWindowEnabled(app.Ctl(kIdStop)));
  PressKey('E');
  EXPECT_EQ(helper.Wait(15000), 0);
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
  // A title with a TAB and a line break: its entry shows it cut at the TAB.
  ASSERT_TRUE(SetWindowTextA(two, "Switch 2\tTabbed\r\nBroken"));
  ShowWindow(one, SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(one) != FALSE; }));
  KeysApp app;
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  const int index = app.IndexOf(Prefix(helper.Id()) + " Switch 1");
  ASSERT_GE(index, 0);
  // No click before the double click: a click shortly before would make it a
  // double click and a third, activating click.
  ASSERT_TRUE(BringForward(app.form));
  DoubleClickAt(app.EntryPoint(index));
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(one) && GetForegroundWindow() == one; }));
  EXPECT_EQ(app.ShownId(), std::to_string(helper.Id()));

  // Enter on the other entry, the one whose title is shown cut.
  const int other = app.IndexOf(Prefix(helper.Id()) + " Switch 2" + texts::kCompanyLine);
  ASSERT_GE(other, 0);
  ASSERT_TRUE(ClickUntil(app.form, app.EntryPoint(other), [&] {
    return ListSelection(app.List()) == other && GetForegroundWindow() == app.form;
  }));
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == two; }));

  // A window gone since the reload: nothing happens, no message box.
  ASSERT_TRUE(helper.Kill());
  ASSERT_TRUE(BringForward(app.form));
  PressKey(VK_RETURN);
  PressKey(VK_F5);
  ASSERT_TRUE(WaitFor([&] { return app.IndexOf(Prefix(helper.Id())) == -1; }));
  EXPECT_EQ(GetForegroundWindow(), app.form);
  EXPECT_EQ(FindTopWindow(app.process.Id(), "#32770"), nullptr);
  EXPECT_EQ(FindTopWindow(app.process.Id(), "TMessageForm"), nullptr);

  // Our own entry: the main window stays active, its keys working on.
  const int own = app.IndexOf("[ " + std::to_string(app.process.Id()) + " : Vorlane.exe ] Vorlane");
  ASSERT_GE(own, 0);
  ASSERT_TRUE(app.Select(own, app.process.Id()));
  PressKey(VK_RETURN);
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return IsChild(app.form, FocusOf(app.form)) && FocusOf(app.form) != app.List(); }, 3000));
  EXPECT_EQ(GetForegroundWindow(), app.form);
}

// The main window's keys: F5 and Alt+E (停止) wherever the focus is; Ctrl+Tab,
// Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp switch tabs wherever it is; Tab stops on the
// tab control before the list inside it; in the list Ctrl+C and Ctrl+Insert
// (copy), Enter (switch to the window), Alt+Enter (details), Shift+F10 and the menu key (context
// menu), and characters (type to find). The focus is never left on nothing.
#include "app/unit1.h"

#include <cstdint>

#include "base/shown_text.h"
#include "model/entry.h"

namespace {

bool KeyDown(UINT msg) { return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN; }
bool KeyUp(UINT msg) { return msg == WM_KEYUP || msg == WM_SYSKEYUP; }

// Bit 30 of a key message: the key was already down (auto-repeat).
bool Repeated(const MSG& msg) { return (msg.lParam & (1 << 30)) != 0; }

bool CanTakeFocus(HWND w) { return w && IsWindowEnabled(w) && IsWindowVisible(w); }

// Focuses `w` as the dialog manager does: an edit's text is selected.
void FocusControl(HWND w) {
  SetFocus(w);
  if (SendMessageA(w, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(w, EM_SETSEL, 0, -1);
}

}  // namespace

bool TForm1::PreTranslateKey(const MSG& msg) {
  const bool listChar = msg.message == WM_CHAR && msg.hwnd == GLB_List.hwnd();
  if (!KeyDown(msg.message) && !KeyUp(msg.message) && !listChar) return false;
  if (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd)) return false;
  // The keyboard is in use: the focus cue shows from now on, as the system
  // shows it once keys move the focus.
  if (KeyDown(msg.message)) GLB_List.ShowFocusCue(true);
  try {
    // Taken here as the loop read it: dispatched on to the list, whose
    // procedure is Unicode, a code page byte would be a character of its own.
    if (listChar) return ListTextTyped(msg.wParam);
    return HandleKey(msg);
  } catch (...) {
    return true;  // the key is lost, the program goes on
  }
}

bool TForm1::HandleKey(const MSG& msg) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0,
             alt = GetKeyState(VK_MENU) < 0;
  const bool plain = !ctrl && !shift && !alt;
  const bool inList = msg.hwnd == GLB_List.hwnd();
  const WPARAM key = msg.wParam;
  const bool down = KeyDown(msg.message);
  if (down && key == VK_F5 && plain) {
    F5Pressed(msg);
    return true;
  }
  if (ctrl && !alt && (key == VK_TAB || ((key == VK_NEXT || key == VK_PRIOR) && !shift))) {
    if (down) SwitchTab(key == VK_TAB ? !shift : key == VK_NEXT);
    return true;
  }
  if (down && key == VK_TAB && !ctrl && !alt) return TabAroundTheTabs(shift);
  if (pointer_.Active() && key == VK_ESCAPE) {
    if (down) pointer_.End();
    return true;
  }
  if (key == 'F' && ctrl && !shift && !alt) {
    if (down && !Repeated(msg)) StartPointing();
    return true;
  }
  // "停止(E)" shows its key without the underline the others have: the
  // dialog manager does not know it, so it is taken here.
  if (key == 'E' && alt && !ctrl && !shift) {
    if (down) BB_StopClick();
    return true;
  }
  if (!inList) return false;
  if (down && (key == 'C' || key == VK_INSERT) && ctrl && !shift && !alt) {
    CopyEntry();
    return true;
  }
  // Alt+Enter, the key for properties: the entry's details window.
  if (key == VK_RETURN && alt && !ctrl && !shift) {
    if (down && !Repeated(msg)) ShowEntryDetails();
    return true;
  }
  if (down && key == VK_RETURN && plain && CurrentTab == ListTab::Applications) {
    SwitchToEntryWindow();
    return true;
  }
  // The menu opens on the press; the release, left alone, would ask for it again.
  const bool menuKey = key == VK_APPS || (key == VK_F10 && shift && !ctrl && !alt);
  if (!menuKey) return false;
  if (down) SendMessageA(GLB_List.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GLB_List.hwnd()), -1);
  return true;
}

// A held F5 repeats: only its first press reloads. Presses that waited in the
// queue while a reload ran give one more reload between them, not one each.
void TForm1::F5Pressed(const MSG& msg) {
  bool reload = !Repeated(msg) && AfterLastF5Reload(msg);
  while (reload) {
    f5Reloaded_ = true;
    f5ReloadStart_ = GetTickCount();
    BB_RegetClick();
    // The F5 presses now at the head of the queue (nothing before them) are
    // taken here, without the loop's work for each; one made after the
    // reload began reloads again.
    reload = false;
    MSG next;
    while (PeekMessageA(&next, nullptr, 0, 0, PM_NOREMOVE) && next.wParam == VK_F5 &&
           (next.message == WM_KEYDOWN || next.message == WM_KEYUP) &&
           PeekMessageA(&next, nullptr, WM_KEYDOWN, WM_KEYUP, PM_REMOVE))
      reload = reload || (next.message == WM_KEYDOWN && !Repeated(next) && AfterLastF5Reload(next));
  }
}

bool TForm1::AfterLastF5Reload(const MSG& msg) const {
  return !f5Reloaded_ || static_cast<int32_t>(msg.time - f5ReloadStart_) > 0;
}

void TForm1::SwitchTab(bool forward) {
  const int n = TC_Main.TabCount();
  if (n <= 0) return;
  TC_Main.SetTabIndex((TC_Main.TabIndex() + (forward ? 1 : n - 1)) % n);
  TC_MainChange();
}

// The list lives inside the tab control, whose children the dialog manager
// steps into: the tab control itself gets its stop just before the list.
bool TForm1::TabAroundTheTabs(bool back) {
  const HWND focus = GetFocus(), tabs = TC_Main.hwnd(), list = GLB_List.hwnd();
  HWND to = nullptr;
  if (focus == tabs)
    to = back ? GetNextDlgTabItem(hwnd(), list, TRUE) : list;
  else if (back && focus == list)
    to = tabs;
  else if (!back && GetNextDlgTabItem(hwnd(), focus, FALSE) == list)
    to = tabs;
  if (!CanTakeFocus(to)) return false;
  FocusControl(to);
  return true;
}

void TForm1::KeepFocus() {
  if (GetActiveWindow() != hwnd() || IsIconic(hwnd())) return;
  const HWND focus = GetFocus();
  const bool lost = !focus || focus == hwnd() || (IsChild(hwnd(), focus) && !CanTakeFocus(focus));
  if (lost && CanTakeFocus(GLB_List.hwnd())) SetFocus(GLB_List.hwnd());
}

void TForm1::FocusOnActivate(bool active) {
  const HWND focus = GetFocus();
  if (!active) {
    if (focus && IsChild(hwnd(), focus)) savedFocus_ = base::Borrowed<HWND>(focus);
    return;
  }
  // Disabled, the window has a modal dialog in front that keeps the focus.
  if (!IsWindowEnabled(hwnd())) return;
  const HWND saved = savedFocus_.get();
  if (saved && IsChild(hwnd(), saved) && CanTakeFocus(saved))
    SetFocus(saved);
  else if (CanTakeFocus(GLB_List.hwnd()))
    SetFocus(GLB_List.hwnd());
}

bool TForm1::ListTextTyped(WPARAM c) {
  // Every character stops here: the list box's own search would move to an
  // entry that does not begin with what was typed. The NT family's windows
  // take UTF-16, whoever sent it; the 9x family's code page bytes.
  const uint32_t now = static_cast<uint32_t>(GetMessageTime());
  const TypeToFind::Typed typed = WideSystem() ? finder_.Type(static_cast<wchar_t>(c), now)
                                               : finder_.TypeByte(static_cast<char>(c), now, WideText);
  if (typed != TypeToFind::Typed::Search) return true;
  const EntryModel* model = lists_.Tab(CurrentTab);
  if (!model) return true;
  std::vector<FindKey> keys(model->Size());
  for (size_t i = 0; i < model->Size(); ++i) {
    keys[i].name = model->EntryAt(i).DisplayName;
    keys[i].id = model->EntryAt(i).idProcess;
  }
  const int found = FindEntry(keys, finder_.Text(), GLB_List.ItemIndex());
  if (found >= 0 && found != GLB_List.ItemIndex()) {
    GLB_List.SetItemIndex(found);
    GLB_ListClick();  // the panel fills as on a click
  }
  return true;
}

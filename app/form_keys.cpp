// The main window's keys: F5 wherever the focus is; in the list Ctrl+C and
// Ctrl+Insert (copy), Enter (switch to the window), Shift+F10 and the menu
// key (context menu), and letters or digits (type to find).
#include "app/unit1.h"

#include "procinfo/entry_line.h"

namespace {

bool KeyDown(UINT msg) { return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN; }
bool KeyUp(UINT msg) { return msg == WM_KEYUP || msg == WM_SYSKEYUP; }

}  // namespace

bool TForm1::PreTranslateKey(const MSG& msg) {
  if (!KeyDown(msg.message) && !KeyUp(msg.message)) return false;
  if (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd)) return false;
  try {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0,
               alt = GetKeyState(VK_MENU) < 0;
    const bool plain = !ctrl && !shift && !alt;
    const bool inList = msg.hwnd == GLB_List.hwnd();
    const WPARAM key = msg.wParam;
    const bool down = KeyDown(msg.message);
    if (down && key == VK_F5 && plain) {
      BB_RegetClick();
      return true;
    }
    if (!inList) return false;
    if (down && (key == 'C' || key == VK_INSERT) && ctrl && !shift && !alt) {
      CopyEntry();
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
  } catch (...) {
    return true;  // the key is lost, the program goes on
  }
}

bool TForm1::ListCharTyped(char c) {
  if (!finder_.Type(c, static_cast<uint32_t>(GetMessageTime()))) return false;
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

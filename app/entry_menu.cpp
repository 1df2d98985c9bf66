// The context menu of a list entry (right click, Shift+F10, the menu key).
#include "app/unit1.h"

#include <windowsx.h>

#include "app/texts.h"
#include "procinfo/entry_line.h"
#include "productinfo/qorfunc.h"
#include "ui/text_calls.h"

namespace {

enum MenuCommand : UINT { kCmdSwitch = 1, kCmdCopy, kCmdOpenFolder, kCmdStop, kCmdProperties };

using UniqueMenu = ui::Owned<ui::PtrTraits<HMENU, DestroyMenu>>;

UINT EnabledIf(bool on) { return MF_STRING | (on ? MF_ENABLED : MF_GRAYED); }

// The entry under a point of the list's client area, or -1.
int EntryAt(HWND list, POINT p) {
  const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
  if (HIWORD(hit) != 0) return -1;
  const int index = LOWORD(hit);
  RECT r{};
  if (SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) == LB_ERR ||
      !PtInRect(&r, p))
    return -1;
  return index;
}

// Where a menu opened from the keyboard appears: at the selected entry, kept
// inside the list.
POINT KeyboardMenuPoint(HWND list, int index) {
  RECT client{}, item{};
  GetClientRect(list, &client);
  SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
  POINT p{item.left + 16, (item.top + item.bottom) / 2};
  if (p.y < client.top || p.y >= client.bottom) p.y = client.top;
  ClientToScreen(list, &p);
  return p;
}

}  // namespace

void TForm1::ShowEntryMenu(LPARAM where) {
  HWND list = GLB_List.hwnd();
  POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  if (where == -1) {
    if (GLB_List.ItemIndex() < 0) return;
    at = KeyboardMenuPoint(list, GLB_List.ItemIndex());
  } else {
    // As in Explorer, the right click first selects the entry under the pointer.
    POINT p = at;
    ScreenToClient(list, &p);
    const int index = EntryAt(list, p);
    if (index < 0) return;
    SetFocus(list);
    if (index != GLB_List.ItemIndex()) {
      GLB_List.SetItemIndex(index);
      GLB_ListClick();
    }
  }
  const TQorSvc* entry = SelectedEntry();
  if (!entry) return;
  const bool hasFile = EntryHasFile(*entry);

  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return;
  HMENU m = menu.get();
  if (CurrentTab == ListTab::Applications) {
    ui::AppendMenu932(m, MF_STRING, kCmdSwitch, texts::kMenuSwitch);
    SetMenuDefaultItem(m, kCmdSwitch, FALSE);  // what a double click and Enter do
    AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  }
  ui::AppendMenu932(m, MF_STRING, kCmdCopy, texts::kMenuCopy);
  ui::AppendMenu932(m, EnabledIf(hasFile), kCmdOpenFolder, texts::kMenuOpenFolder);
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  ui::AppendMenu932(m, EnabledIf(BB_Stop.Enabled()), kCmdStop, texts::kMenuStop);
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  ui::AppendMenu932(m, EnabledIf(hasFile), kCmdProperties, texts::kMenuProperties);

  const UINT command = static_cast<UINT>(TrackPopupMenu(
      m, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, hwnd(), nullptr));
  switch (command) {
    case kCmdSwitch: SwitchToEntryWindow(); break;
    case kCmdCopy: CopyEntry(); break;
    case kCmdOpenFolder: OpenEntryFolder(); break;
    case kCmdStop: BB_StopClick(); break;
    case kCmdProperties: ShowEntryProperties(); break;
  }
}

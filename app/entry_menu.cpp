// The context menu of a list entry (right click, Shift+F10, the menu key),
// and the window menu's own items: the orderings and the home page, which
// otherwise only the pointer reaches.
#include "app/unit1.h"

#include <windowsx.h>

#include "app/texts.h"
#include "procinfo/entry_line.h"
#include "productinfo/qorfunc.h"
#include "ui/text_calls.h"

namespace {

enum MenuCommand : UINT {
  kCmdSwitch = 1, kCmdCopy, kCmdOpenFolder, kCmdStop, kCmdProperties, kCmdByProcessId, kCmdByImageName,
  kCmdCloseWindow, kCmdStopTree
};
// Window menu commands: below the system's own (0xF000 and up), the low four
// bits left clear as the system uses them.
enum WindowMenuCommand : UINT {
  kSysByProcessId = 0x0100, kSysByImageName = 0x0110, kSysHomePage = 0x0120, kSysFindWindow = 0x0130
};

using UniqueMenu = ui::Owned<ui::PtrTraits<HMENU, DestroyMenu>>;

UINT EnabledIf(bool on) { return MF_STRING | (on ? MF_ENABLED : MF_GRAYED); }

// The two orderings, the one in effect checked as a choice of one.
void AppendOrderings(HMENU m, UINT byId, UINT byName, bool byImageName) {
  ui::AppendMenu932(m, MF_STRING, byId, texts::kMenuByProcessId);
  ui::AppendMenu932(m, MF_STRING, byName, texts::kMenuByImageName);
  CheckMenuRadioItem(m, byId, byName, byImageName ? byName : byId, MF_BYCOMMAND);
}

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
    ui::AppendMenu932(m, MF_STRING, kCmdCloseWindow, texts::kMenuCloseWindow);
    AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  }
  ui::AppendMenu932(m, MF_STRING, kCmdCopy, texts::kMenuCopy);
  ui::AppendMenu932(m, EnabledIf(hasFile), kCmdOpenFolder, texts::kMenuOpenFolder);
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  ui::AppendMenu932(m, EnabledIf(BB_Stop.Enabled()), kCmdStop, texts::kMenuStop);
  if (CurrentTab == ListTab::Processes)
    ui::AppendMenu932(m, EnabledIf(BB_Stop.Enabled()), kCmdStopTree, texts::kMenuStopTree);
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  ui::AppendMenu932(m, EnabledIf(hasFile), kCmdProperties, texts::kMenuProperties);
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  AppendOrderings(m, kCmdByProcessId, kCmdByImageName, SortByName != 0);

  const UINT command = static_cast<UINT>(TrackPopupMenu(
      m, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, hwnd(), nullptr));
  switch (command) {
    case kCmdSwitch: SwitchToEntryWindow(); break;
    case kCmdCloseWindow: CloseEntryWindow(); break;
    case kCmdCopy: CopyEntry(); break;
    case kCmdOpenFolder: OpenEntryFolder(); break;
    case kCmdStop: BB_StopClick(); break;
    case kCmdStopTree: StopEntryTree(); break;
    case kCmdProperties: ShowEntryProperties(); break;
    case kCmdByProcessId: OrderBy(false); break;
    case kCmdByImageName: OrderBy(true); break;
  }
}

void TForm1::AddWindowMenuItems() {
  HMENU m = GetSystemMenu(hwnd(), FALSE);
  if (!m) return;
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  AppendOrderings(m, kSysByProcessId, kSysByImageName, SortByName != 0);
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  ui::AppendMenu932(m, MF_STRING, kSysHomePage, texts::kMenuHomePage);
  ui::AppendMenu932(m, EnabledIf(WindowPointer::Supported()), kSysFindWindow, texts::kMenuFindWindow);
}

bool TForm1::WindowMenuCommand(WPARAM command) {
  switch (command & 0xFFF0) {
    case kSysByProcessId: OrderBy(false); return true;
    case kSysByImageName: OrderBy(true); return true;
    case kSysHomePage: IM_LinkClick(); return true;
    case kSysFindWindow: StartPointing(); return true;
  }
  return false;
}

void TForm1::WindowMenuOpening(HMENU m) {
  CheckMenuRadioItem(m, kSysByProcessId, kSysByImageName,
                     SortByName != 0 ? kSysByImageName : kSysByProcessId, MF_BYCOMMAND);
}

void TForm1::OrderBy(bool byImageName) {
  // As a click on the speed button: it goes down, its partner up.
  (byImageName ? SB_FileName : SB_ProcessID).SetDown(true);
  if (byImageName)
    SB_FileNameClick();
  else
    SB_ProcessIDClick();
}

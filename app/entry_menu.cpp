// The context menu of a list entry (right click, Shift+F10, the menu key),
// and the window menu's own items: the orderings (those by a figure only
// here) and the home page, which otherwise only the pointer reaches.
#include "app/unit1.h"

#include <windowsx.h>

#include "app/control_ids.h"
#include "app/texts.h"
#include "model/entry.h"
#include "productinfo/qorfunc.h"
#include "ui/text_calls.h"

namespace {


// The orderings' items, in the order of the sort values.
constexpr const char* kOrderingItems[TForm1::kSortCount] = {
    texts::kMenuByProcessId, texts::kMenuByImageName, texts::kMenuByCpu, texts::kMenuByMemory};

using UniqueMenu = ui::Owned<ui::PtrTraits<HMENU, DestroyMenu>>;

UINT EnabledIf(bool on) { return MF_STRING | (on ? MF_ENABLED : MF_GRAYED); }

// The orderings, the one in effect checked as a choice of one; item k has
// command first + k * step.
void AppendOrderings(HMENU m, UINT first, UINT step, int sort) {
  for (int k = 0; k < TForm1::kSortCount; ++k)
    ui::AppendMenu932(m, MF_STRING, first + k * step, kOrderingItems[k]);
  CheckMenuRadioItem(m, first, first + (TForm1::kSortCount - 1) * step, first + sort * step,
                     MF_BYCOMMAND);
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
  ui::AppendMenu932(m, EnabledIf(StopAllowed()), kCmdStop, texts::kMenuStop);
  if (CurrentTab == ListTab::Processes)
    ui::AppendMenu932(m, EnabledIf(StopAllowed()), kCmdStopTree, texts::kMenuStopTree);
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  ui::AppendMenu932(m, MF_STRING, kCmdDetails, texts::kMenuDetails);
  ui::AppendMenu932(m, EnabledIf(hasFile), kCmdProperties, texts::kMenuProperties);
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  AppendOrderings(m, kCmdOrderings, 1, SortByName);

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
    case kCmdDetails: ShowEntryDetails(); break;
  }
  if (command >= kCmdOrderings && command < kCmdOrderings + kSortCount)
    OrderBy(static_cast<int>(command - kCmdOrderings));
}

void TForm1::AddWindowMenuItems() {
  HMENU m = GetSystemMenu(hwnd(), FALSE);
  if (!m) return;
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  AppendOrderings(m, kSysOrderings, kSysOrderingStep, SortByName);
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  ui::AppendMenu932(m, MF_STRING, kSysHomePage, texts::kMenuHomePage);
  ui::AppendMenu932(m, EnabledIf(WindowPointer::Supported()), kSysFindWindow, texts::kMenuFindWindow);
}

bool TForm1::WindowMenuCommand(WPARAM command) {
  const UINT c = command & 0xFFF0;
  if (c == kSysFindWindow) {
    StartPointing();
    return true;
  }
  if (c == kSysHomePage) {
    IM_LinkClick();
    return true;
  }
  if (c < kSysOrderings || c >= kSysOrderings + kSortCount * kSysOrderingStep) return false;
  OrderBy(static_cast<int>((c - kSysOrderings) / kSysOrderingStep));
  return true;
}

void TForm1::WindowMenuOpening(HMENU m) {
  CheckMenuRadioItem(m, kSysOrderings, kSysOrderings + (kSortCount - 1) * kSysOrderingStep,
                     kSysOrderings + SortByName * kSysOrderingStep, MF_BYCOMMAND);
}

void TForm1::OrderBy(int sort) {
  // By ID or name as a click on the speed button: it goes down, its partner
  // up. The figures have no button: both go up.
  if (sort == kByImageName) {
    SB_FileName.SetDown(true);
    SB_FileNameClick();
  } else if (sort == kByProcessId) {
    SB_ProcessID.SetDown(true);
    SB_ProcessIDClick();
  } else {
    SB_ProcessID.SetDown(false);
    SB_FileName.SetDown(false);
    SortBy(sort);
  }
}

#include "app/unit1.h"

#include <shellapi.h>

#include <algorithm>

#include "app/control_ids.h"
#include "app/entry_text.h"
#include "app/ordering.h"
#include "app/texts.h"
#include "procinfo/app_windows.h"
#include "procinfo/entry_line.h"
#include "procinfo/priority_class.h"
#include "procinfo/process_api.h"
#include "procinfo/process_ops.h"
#include "productinfo/home_page.h"
#include "productinfo/qorfunc.h"
#include "ui/font.h"

namespace {

constexpr char kFormClass[] = "TForm1";

HICON LoadIconResource(int id, int size) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                       size, size, 0));
}

std::string SystemDirectory() {
  char buf[261] = {};
  GetSystemDirectoryA(buf, 261);
  return buf;
}

}  // namespace

TForm1::TForm1(HWND appWindow, DdeSession* dde) : appWindow_(appWindow), dde_(dde) {}

bool TForm1::Create() {
  RegisterClassOnce(kFormClass, LoadIconResource(kResProgramIcon, 32),
                    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  if (!CreateWin(WS_EX_CONTROLPARENT, kFormClass, texts::kAppTitle,
                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                 appWindow_, 0))
    return false;
  FormCreate();
  return true;
}

void TForm1::CreateComponents() {
  HWND form = hwnd();
  HFONT f = font_.get();
  StatusBar1.Create(form, kIdStatusBar, texts::kStatusNotice);
  TC_Main.Create(form, {0, 0, 632, 183}, kIdTabMain, {texts::kTabProcess, texts::kTabApplication},
                 180, 22);
  GLB_List.SetAutoItemHeight(false);
  GLB_List.Create(TC_Main.hwnd(), {4, 28, 624, 151}, kIdList, f);
  GLB_List.SetItemHeight(46);
  GLB_List.Flat = false;
  GLB_List.SetLayout(blGlyphLeft);
  GLB_List.FocusedColor = ui::clMoneyGreen;
  GLB_List.SelectedColor = ui::clSkyBlue;
  GLB_List.BorderHighlight = ui::clBtnHighlight;
  GLB_List.BorderShadow = ui::clGreen;
  GLB_List.FocusedFont = {f, ui::clWindowText};
  GLB_List.SelectedFont = {f, ui::clWindowText};
  PL_Base.Create(form, {0, 211, 632, 173}, ui::Panel::Edge::None);
  PL_Btn.Create(form, {0, 183, 632, 28}, ui::Panel::Edge::Etched);

  HWND base = PL_Base.hwnd();
  const FormLayout& d = layout_;
  // Children in tab order: the dialog manager follows creation order.
  BB_Close.Create(base, d.BB_Close, kIdClose, texts::kClose, true);
  ED_idProcess.Create(base, d.ED_idProcess, kIdIdProcess, ui::Edit::Kind::SingleLine, "ED_idProcess");
  ED_DisplayName.Create(base, d.ED_DisplayName, kIdDisplayName, ui::Edit::Kind::SingleLine, "ED_DisplayName");
  ED_Company.Create(base, d.ED_Company, kIdCompany, ui::Edit::Kind::SingleLine, "ED_Company");
  ED_Description.Create(base, d.ED_Description, kIdDescription, ui::Edit::Kind::SingleLine, "ED_Description");
  ED_FileName.Create(base, d.ED_FileName, kIdFileName, ui::Edit::Kind::SingleLine, "ED_FileName");
  MM_Description.Create(base, d.MM_Description, kIdMemo, ui::Edit::Kind::Memo, "MM_Description");
  CB_Priority.Create(base, d.CB_Priority, kIdPriority,
                     {texts::kPriorityItems[0], texts::kPriorityItems[1], texts::kPriorityItems[2],
                      texts::kPriorityItems[3], texts::kPriorityItems[4], texts::kPriorityItems[5]},
                     12);
  BB_Update.Create(base, d.BB_Update, kIdUpdate, texts::kUpdate, true);
  BB_Stop.Create(base, d.BB_Stop, kIdStop, texts::kStop, true);
  ED_idProcess_hex.Create(base, d.ED_idProcess_hex, kIdIdProcessHex, ui::Edit::Kind::SingleLine,
                          "ED_idProcess_hex", false);
  IM_Icon.Create(base, d.IM_Icon, kIdIcon);
  IM_Link.Create(base, d.IM_Link, kIdLink);
  LL_idProcess.Create(base, d.LL_idProcess.left, d.LL_idProcess.top, kIdLabelIdProcess, texts::kLabelProcessId, f);
  LL_Priority.Create(base, d.LL_Priority.left, d.LL_Priority.top, kIdLabelPriority, texts::kLabelPriority, f);
  LL_DisplayName.Create(base, d.LL_DisplayName.left, d.LL_DisplayName.top, kIdLabelDisplayName, texts::kLabelDisplayName, f);
  LL_Company.Create(base, d.LL_Company.left, d.LL_Company.top, kIdLabelCompany, texts::kLabelCompany, f);
  LL_Description.Create(base, d.LL_Description.left, d.LL_Description.top, kIdLabelDescription, texts::kLabelDescription, f);
  LL_FileName.Create(base, d.LL_FileName.left, d.LL_FileName.top, kIdLabelFileName, texts::kLabelFileName, f);

  HWND bar = PL_Btn.hwnd();
  BB_Reget.Create(bar, d.BB_Reget, kIdReget, texts::kReget, true);
  SB_ProcessID.Create(bar, d.SB_ProcessID, kIdByProcessId, texts::kByProcessId);
  SB_FileName.Create(bar, d.SB_FileName, kIdByFileName, texts::kByImageName);
  sortGroup_ = {&SB_ProcessID, &SB_FileName};
  SB_ProcessID.JoinGroup(&sortGroup_);
  SB_FileName.JoinGroup(&sortGroup_);

  for (ui::Control* c : std::initializer_list<ui::Control*>{
           &StatusBar1, &TC_Main, &BB_Close, &ED_idProcess, &ED_DisplayName, &ED_Company,
           &ED_Description, &ED_FileName, &MM_Description, &CB_Priority, &BB_Update, &BB_Stop,
           &ED_idProcess_hex, &BB_Reget, &SB_ProcessID, &SB_FileName})
    c->SetFont(f);

  BB_Reget.SetGlyph(kResGlyphReget);
  SB_ProcessID.SetGlyph(kResGlyphByProcessId);
  SB_FileName.SetGlyph(kResGlyphByFileName);
  BB_Update.SetGlyph(kResGlyphUpdate);
  BB_Stop.SetGlyph(kResGlyphStop);
  BB_Close.SetGlyph(kResGlyphClose);
  IM_Link.SetBitmap(kResBanner);

  TC_Main.OnChange = [this] { TC_MainChange(); };
  GLB_List.OnClick = [this] { GLB_ListClick(); };
  GLB_List.OnDblClick = [this] { SwitchToEntryWindow(); };
  GLB_List.OnContextMenu = [this](LPARAM where) { ShowEntryMenu(where); };
  GLB_List.OnChar = [this](char c) { return ListCharTyped(c); };
  BB_Reget.OnClick = [this] { BB_RegetClick(); };
  SB_ProcessID.OnClick = [this] { SB_ProcessIDClick(); };
  SB_FileName.OnClick = [this] { SB_FileNameClick(); };
  CB_Priority.OnChange = [this] { CB_PriorityChange(); };
  BB_Update.OnClick = [this] { BB_UpdateClick(); };
  BB_Stop.OnClick = [this] { BB_StopClick(); };
  BB_Close.OnClick = [this] { PostMessageA(hwnd(), WM_CLOSE, 0, 0); };
  IM_Link.OnClick = [this] { IM_LinkClick(); };
}

void TForm1::FormCreate() {
  SortByName = 0;
  Activated = 0;
  SelectedIndex = -1;
  CurrentTab = 0;

  TQorProductInfo info;
  if (ReadProductInfo(OwnExePath(), info) == 0)
    SetWindowTextA(hwnd(), (info.ProductName + "  Ver. " + info.ProductVersion).c_str());

  lists_.Clear();
  ui::ImageList IL_SysIcon(32, 32);
  for (int id : {kResIdleIcon, kResSystemIcon}) {
    ui::UniqueIcon icon(LoadIconResource(id, 32));
    IL_SysIcon.Add(icon.get());
  }
  IdleIcon = IL_SysIcon.GetIcon(0);
  SystemIcon = IL_SysIcon.GetIcon(1);
  DefaultIcon.reset(ExtractIconA(GetModuleHandleA(nullptr),
                                 (SystemDirectory() + "\\shell32.dll").c_str(), 2));

  font_ = ui::CreateFormFont();
  SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  CreateComponents();

  SetWindowPos(hwnd(), nullptr, 0, 0, kMinOuterWidth, kMinOuterHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  layout_.LL_idProcess.width = LL_idProcess.Width();
  layout_.LL_idProcess.height = LL_idProcess.Height();
  struct { ui::Label* label; Box* box; } labels[] = {
      {&LL_Priority, &layout_.LL_Priority},     {&LL_DisplayName, &layout_.LL_DisplayName},
      {&LL_Company, &layout_.LL_Company},       {&LL_Description, &layout_.LL_Description},
      {&LL_FileName, &layout_.LL_FileName}};
  for (auto& l : labels) {
    l.box->width = l.label->Width();
    l.box->height = l.label->Height();
  }
  LayoutOnCreate(layout_);
  for (ui::Edit* e : {&ED_idProcess, &ED_DisplayName, &ED_Company, &ED_Description, &ED_FileName,
                      &MM_Description})
    e->SetText("");
  CB_Priority.SetItemIndex(kNormalIndex);
  SB_ProcessID.SetDown(true);
  FormResize();
  IM_Link.SetHint(texts::kLinkHint);
}

void TForm1::ApplyLayout() {
  const FormLayout& d = layout_;
  RECT client;
  GetClientRect(hwnd(), &client);
  RECT status{};
  SendMessageA(StatusBar1.hwnd(), WM_SIZE, 0, 0);
  GetWindowRect(StatusBar1.hwnd(), &status);
  const int statusHeight = status.bottom - status.top;
  const int baseTop = client.bottom - statusHeight - d.PL_BaseHeight;
  const int btnTop = baseTop - d.PL_BtnHeight;
  ui::PlaceWindow(PL_Base.hwnd(), {0, baseTop, client.right, d.PL_BaseHeight});
  ui::PlaceWindow(PL_Btn.hwnd(), {0, btnTop, client.right, d.PL_BtnHeight});
  TC_Main.SetBounds({0, 0, client.right, btnTop});
  GLB_List.SetBounds(TC_Main.DisplayArea());

  PL_Base.SetBevelBox(0, d.BV_Icon);
  ui::PlaceWindow(IM_Icon.hwnd(), d.IM_Icon);
  LL_idProcess.SetBounds(d.LL_idProcess);
  ED_idProcess.SetBounds(d.ED_idProcess);
  LL_Priority.SetBounds(d.LL_Priority);
  Box combo = d.CB_Priority;
  combo.height += 160;
  CB_Priority.SetBounds(combo);
  LL_DisplayName.SetBounds(d.LL_DisplayName);
  ED_DisplayName.SetBounds(d.ED_DisplayName);
  LL_Company.SetBounds(d.LL_Company);
  ED_Company.SetBounds(d.ED_Company);
  LL_Description.SetBounds(d.LL_Description);
  ED_Description.SetBounds(d.ED_Description);
  LL_FileName.SetBounds(d.LL_FileName);
  ED_FileName.SetBounds(d.ED_FileName);
  MM_Description.SetBounds(d.MM_Description);
  BB_Update.SetBounds(d.BB_Update);
  BB_Stop.SetBounds(d.BB_Stop);
  ui::PlaceWindow(IM_Link.hwnd(), d.IM_Link);
  BB_Close.SetBounds(d.BB_Close);
  BB_Reget.SetBounds(d.BB_Reget);
  SB_ProcessID.SetBounds(d.SB_ProcessID);
  SB_FileName.SetBounds(d.SB_FileName);
}

void TForm1::FormResize() {
  RECT outer;
  GetWindowRect(hwnd(), &outer);
  const int w = outer.right - outer.left, h = outer.bottom - outer.top;
  if (!IsIconic(hwnd()) && (w < kMinOuterWidth || h < kMinOuterHeight)) {
    // The resize this causes comes back here and lays the window out.
    SetWindowPos(hwnd(), nullptr, 0, 0, std::max(w, kMinOuterWidth), std::max(h, kMinOuterHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  if (!PL_Base.hwnd()) return;
  RECT client;
  GetClientRect(hwnd(), &client);
  LayoutOnResize(layout_, client.right);
  ApplyLayout();
}

void TForm1::FormActivate() {
  if (Activated != 0) return;
  Activated = 1;
  Reload();
}

void TForm1::FormDestroy() {
  IdleIcon.reset();
  SystemIcon.reset();
  DefaultIcon.reset();
  lists_.Clear();
}

void TForm1::SortByProcessID(std::vector<std::string>& lines, ui::ImageList& images) {
  if (lines.size() < 2) return;
  std::vector<uint32_t> keys;
  keys.reserve(lines.size());
  for (const std::string& l : lines) keys.push_back(HexToDWord(l));
  std::vector<size_t> order = ExchangeOrder(std::move(keys));
  if (std::is_sorted(order.begin(), order.end())) return;
  ApplyOrder(lines, order);
  images.Rearrange(order);
}

void TForm1::SortByDisplayName(std::vector<std::string>& lines, ui::ImageList& images) {
  if (lines.size() < 2) return;
  std::vector<std::string> names;
  names.reserve(lines.size());
  TQorSvc svc;
  for (const std::string& l : lines) {
    LineToSvc(l, svc);
    names.push_back(std::move(svc.DisplayName));
  }
  std::vector<size_t> order = ExchangeOrderByName(names);
  if (std::is_sorted(order.begin(), order.end())) return;
  ApplyOrder(lines, order);
  images.Rearrange(order);
}

std::pair<std::vector<std::string>*, ui::ImageList*> TForm1::TabLists(int tab) {
  if (tab == 0) return {&lists_.ProcessLines, &lists_.IL_Tab0};
  if (tab == 1) return {&lists_.ApplicationLines, &lists_.IL_Tab1};
  return {nullptr, nullptr};
}

void TForm1::TC_MainChange() {
  CurrentTab = TC_Main.TabIndex();
  SendMessageA(GLB_List.hwnd(), WM_SETREDRAW, FALSE, 0);
  GLB_List.Clear();
  SelectedIndex = -1;
  auto [lines, images] = TabLists(CurrentTab);
  if (lines) {
    if (SortByName == 0)
      SortByProcessID(*lines, *images);
    else
      SortByDisplayName(*lines, *images);
    GLB_List.SetGlyphs(images);
    SendMessageA(GLB_List.hwnd(), LB_INITSTORAGE, lines->size(), lines->size() * 96);
    TQorSvc svc;
    for (const std::string& line : *lines) {
      LineToSvc(line, svc);
      GLB_List.AddItem(EntryText(svc, CurrentTab));
    }
  }
  SendMessageA(GLB_List.hwnd(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(GLB_List.hwnd(), nullptr, TRUE);
  ClearDetails();
}

void TForm1::SB_ProcessIDClick() {
  if (SortByName == 0) return;
  SortByName = 0;
  ClearDetails();
  TC_MainChange();
}

void TForm1::SB_FileNameClick() {
  if (SortByName == 1) return;
  SortByName = 1;
  ClearDetails();
  TC_MainChange();
}

void TForm1::Reload() {
  HCURSOR old = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  SelectedIndex = -1;
  lists_.Clear();
  GLB_List.Clear();
  ClearDetails();
  SubstituteIcons icons{DefaultIcon.get(), SystemIcon.get(), IdleIcon.get()};
  TakeSnapshot(lists_, icons);
  if (SB_ProcessID.Down())
    SortByProcessID(lists_.ProcessLines, lists_.IL_Tab0);
  else
    SortByDisplayName(lists_.ProcessLines, lists_.IL_Tab0);
  TC_Main.SetTabIndex(CurrentTab);
  TC_MainChange();
  SetCursor(old);
}

void TForm1::ClearDetails() {
  IM_Icon.SetIcon(nullptr);
  ED_idProcess.SetText("");
  CB_Priority.SetItemIndex(kNormalIndex);
  ED_DisplayName.SetText("");
  ED_Company.SetText("");
  ED_Description.SetText("");
  ED_FileName.SetText("");
  MM_Description.SetText("");
  CB_Priority.SetEnabled(false);
  CB_Priority.SetColor(ui::clBtnFace);
  BB_Update.SetEnabled(false);
  BB_Stop.SetEnabled(false);
}

void TForm1::GLB_ListClick() {
  SelectedIndex = GLB_List.ItemIndex();
  if (SelectedIndex < 0) return;
  auto [lines, images] = TabLists(CurrentTab);
  if (!lines || SelectedIndex >= static_cast<int>(lines->size())) return;
  ui::UniqueIcon icon = images->GetIcon(SelectedIndex);
  ShowDetails((*lines)[static_cast<size_t>(SelectedIndex)], icon.get());
}

void TForm1::ShowDetails(const std::string& line, HICON icon) {
  DWORD ownId = 0;
  GetWindowThreadProcessId(appWindow_, &ownId);
  TQorSvc r;
  LineToSvc(line, r);
  BB_Update.SetEnabled(false);
  BB_Stop.SetEnabled(r.DisplayName != texts::kSystemName && r.DisplayName != texts::kIdleName &&
                     r.idProcess != ownId);
  IM_Icon.SetIcon(icon);
  ED_idProcess_hex.SetText(HexId(r.idProcess));
  ED_idProcess.SetText(std::to_string(r.idProcess));
  CB_Priority.SetEnabled(false);
  if (PlatformId() == VER_PLATFORM_WIN32_NT) CB_Priority.SetEnabled(r.idProcess != 0);
  CB_Priority.SetColor(ui::clWindow);
  CB_Priority.SetItemIndex(PriorityIndexOf(GetProcessPriority(r.idProcess)));
  ED_DisplayName.SetText(r.DisplayName);
  ED_Company.SetText(r.Company);
  ED_Description.SetText(r.Description);
  ED_FileName.SetText(r.FileName);
  std::string memo;
  for (const std::string& title : CollectWindowTitles(r.idProcess, false)) memo += title + "\r\n";
  MM_Description.SetText(memo);
}

void TForm1::CB_PriorityChange() { BB_Update.SetEnabled(true); }

const FILETIME* TForm1::CreationTimeOf(DWORD pid) const {
  auto it = lists_.CreationTimes.find(pid);
  return it == lists_.CreationTimes.end() ? nullptr : &it->second;
}

void TForm1::BB_UpdateClick() {
  BB_Update.SetEnabled(false);
  DWORD cls = PriorityClassAt(CB_Priority.ItemIndex());
  DWORD pid = HexToDWord(ED_idProcess_hex.Text());
  SetProcessPriority(pid, cls, CreationTimeOf(pid));
}

void TForm1::BB_StopClick() {
  DWORD pid = HexToDWord(ED_idProcess_hex.Text());
  StopProcess(pid, CreationTimeOf(pid));
  Reload();
}

void TForm1::IM_LinkClick() { OpenHomePage(hwnd(), dde_); }

LRESULT TForm1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) FormResize();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
      mm->ptMinTrackSize = {kMinOuterWidth, kMinOuterHeight};
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) FormActivate();
      break;
    case WM_CLOSE:
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      FormDestroy();
      PostQuitMessage(0);
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

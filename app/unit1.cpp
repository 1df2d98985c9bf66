#include "app/unit1.h"

#include <shellapi.h>

#include <algorithm>

#include "app/control_ids.h"
#include "app/entry_text.h"
#include "app/message_dialog.h"
#include "app/texts.h"
#include "procinfo/priority_class.h"
#include "procinfo/process_api.h"
#include "procinfo/process_ops.h"
#include "productinfo/qorfunc.h"
#include "ui/font.h"
#include "ui/image_list.h"

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
                 appWindow_.get(), 0))
    return false;
  return FormCreate();
}

bool TForm1::FormCreate() {
  SortByName = 0;
  Activated = 0;
  SelectedIndex = -1;
  CurrentTab = 0;
  ntFamily_ = PlatformId() == VER_PLATFORM_WIN32_NT;

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
  if (!CreateComponents()) return false;

  SetWindowPos(hwnd(), nullptr, 0, 0, kMinOuterWidth, kMinOuterHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  MeasureLabels();
  LayoutOnCreate(layout_);
  for (ui::Edit* e : {&ED_idProcess, &ED_DisplayName, &ED_Company, &ED_Description, &ED_FileName,
                      &MM_Description})
    e->SetText("");
  CB_Priority.SetItemIndex(kNormalIndex);
  SB_ProcessID.SetDown(true);
  FormResize();
  IM_Link.SetHint(texts::kLinkHint);
  return true;
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

void TForm1::TC_MainChange() {
  CurrentTab = TC_Main.TabIndex();
  SelectedIndex = -1;
  std::vector<std::string> texts;
  EntryModel* model = lists_.Tab(CurrentTab);
  if (model) {
    if (SortByName == 0)
      model->OrderByProcessId();
    else
      model->OrderByImageName();
    texts.reserve(model->Size());
    for (size_t i = 0; i < model->Size(); ++i) texts.push_back(EntryText(model->EntryAt(i), CurrentTab));
  }
  if (model) GLB_List.SetGlyphs(&model->Images());
  GLB_List.SetItems(texts);
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

void TForm1::OrderProcesses() {
  if (SB_ProcessID.Down())
    lists_.Processes.OrderByProcessId();
  else
    lists_.Processes.OrderByImageName();
}

void TForm1::Reload() {
  HCURSOR old = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  SelectedIndex = -1;
  lists_.Clear();
  GLB_List.Clear();
  ClearDetails();
  LoadEntryLists(lists_, {.IdleName = texts::kIdleName,
                          .IdleDescription = texts::kIdleDescription,
                          .SystemName = texts::kSystemName,
                          .SystemDescription = texts::kSystemDescription,
                          .Company = texts::kMicrosoft,
                          .DefaultIcon = DefaultIcon.get(),
                          .SystemIcon = SystemIcon.get(),
                          .IdleIcon = IdleIcon.get()});
  OrderProcesses();
  TC_Main.SetTabIndex(CurrentTab);
  TC_MainChange();
  SetCursor(old);
}

void TForm1::ClearDetails() {
  // Reorders and reloads clear it more than once; nothing changes it in
  // between, as its controls stay disabled.
  if (detailsClear_) return;
  detailsClear_ = true;
  IM_Icon.SetIcon(nullptr);
  for (ui::Edit* e : {&ED_idProcess, &ED_DisplayName, &ED_Company, &ED_Description, &ED_FileName,
                      &MM_Description})
    e->SetText("");
  CB_Priority.SetItemIndex(kNormalIndex);
  CB_Priority.SetEnabled(false);
  CB_Priority.SetColor(ui::clBtnFace);
  BB_Update.SetEnabled(false);
  BB_Stop.SetEnabled(false);
}

void TForm1::GLB_ListClick() {
  SelectedIndex = GLB_List.ItemIndex();
  if (SelectedIndex < 0) return;
  const EntryModel* model = lists_.Tab(CurrentTab);
  const size_t i = static_cast<size_t>(SelectedIndex);
  if (!model || i >= model->Size()) return;
  const TQorSvc& entry = model->EntryAt(i);
  ui::UniqueIcon icon = model->IconAt(i);
  ShowDetails(entry, icon.get(), ReadLiveDetails(entry.idProcess));
}

void TForm1::ShowDetails(const TQorSvc& r, HICON icon, const LiveDetails& live) {
  DWORD ownId = 0;
  GetWindowThreadProcessId(appWindow_.get(), &ownId);
  detailsClear_ = false;
  BB_Update.SetEnabled(false);
  BB_Stop.SetEnabled(r.DisplayName != texts::kSystemName && r.DisplayName != texts::kIdleName &&
                     r.idProcess != ownId);
  IM_Icon.SetIcon(icon);
  ED_idProcess_hex.SetText(HexId(r.idProcess));
  ED_idProcess.SetText(std::to_string(r.idProcess));
  CB_Priority.SetEnabled(ntFamily_ && r.idProcess != 0);
  CB_Priority.SetColor(ui::clWindow);
  CB_Priority.SetItemIndex(PriorityIndexOf(live.PriorityClass));
  ED_DisplayName.SetText(r.DisplayName);
  ED_Company.SetText(r.Company);
  ED_Description.SetText(r.Description);
  ED_FileName.SetText(r.FileName);
  std::string memo;
  for (const std::string& title : live.WindowTitles) memo += title + "\r\n";
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
  // The box shows the class in effect, not the one asked for.
  CB_Priority.SetItemIndex(PriorityIndexOf(ChangeProcessPriority(pid, cls, CreationTimeOf(pid))));
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
      if (HIWORD(wp)) break;  // minimized: nothing to focus
      FocusOnActivate(LOWORD(wp) != WA_INACTIVE);
      return 0;
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

#include "app/unit1.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "app/control_ids.h"
#include "app/entry_text.h"
#include "model/figure_text.h"
#include "app/message_dialog.h"
#include "app/texts.h"
#include "base/shown_text.h"
#include "base/text.h"
#include "procinfo/priority_class.h"
#include "procinfo/process_api.h"
#include "procinfo/process_ops.h"
#include "productinfo/qorfunc.h"
#include "ui/dpi.h"
#include "ui/font.h"
#include "ui/image_list.h"
#include "ui/text_calls.h"

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
  // At its final size, centred on the screen: nothing moves once made.
  const FormLayout design;
  if (!CreateWin(WS_EX_CONTROLPARENT, kFormClass, texts::kAppTitle,
                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                 (GetSystemMetrics(SM_CXSCREEN) - design.MinOuterWidth) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - design.MinOuterHeight) / 2, design.MinOuterWidth,
                 design.MinOuterHeight, appWindow_.get(), 0))
    return false;
  return FormCreate();
}

bool TForm1::FormCreate() {
  SortByName = 0;
  Activated = 0;
  SelectedIndex = -1;
  CurrentTab = ListTab::Processes;
  ntFamily_ = PlatformId() == VER_PLATFORM_WIN32_NT;

  TQorProductInfo info;
  if (ReadProductInfo(OwnExePathW(), info) == 0)
    ui::SetWindowText932(hwnd(), info.ProductName + "  Ver. " + info.ProductVersion);

  lists_.Clear();
  ScaleLayout(ui::WindowDpi(hwnd()));
  // Sized for its DPI before anything is made in it; at 96 DPI it is made so.
  RECT made{};
  GetWindowRect(hwnd(), &made);
  const SIZE size = MinOuterSize();
  if (made.right - made.left != size.cx || made.bottom - made.top != size.cy) {
    const RECT work = ui::WorkAreaOf(hwnd());
    SetWindowPos(hwnd(), nullptr, (work.left + work.right - size.cx) / 2,
                 (work.top + work.bottom - size.cy) / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  LoadOwnIcons();
  lists_.SetIconSize(layout_.IM_Icon.width);
  DefaultIcon.reset(ExtractIconA(GetModuleHandleA(nullptr),
                                 (SystemDirectory() + "\\shell32.dll").c_str(), 2));
  // The worker reads the processes while this thread makes, shows and
  // paints the window: its parts wait in the queue until the loop runs.
  StartWorker();
  if (worker_) worker_->RequestReload(Fixed());

  font_ = ui::CreateFormFont(layout_.dpi);
  SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  // Laid out before anything is made, so that each component is made where
  // it stays.
  MeasureLabels();
  LayoutOnCreate(layout_);
  RECT client;
  GetClientRect(hwnd(), &client);
  LayoutOnResize(layout_, client.right);
  if (!CreateComponents()) return false;
  GLB_List.HighContrast = ListNeedsSystemColours();
  GLB_List.HideFocusCueUntilKeys();  // for the whole window
  laidOut_ = {client.right, client.bottom};
  // Cleared while hidden: the first reload finds nothing to clear in a shown window.
  ClearDetails();
  SB_ProcessID.SetDown(true);
  AddWindowMenuItems();
  if (Reloading()) StatusBar1.SetStatus(texts::kLoading);
  // What the worker has read meanwhile is in the first paint (on a quiet
  // machine the whole first reload is).
  WorkerPosted();
  return true;
}

void TForm1::LoadOwnIcons() {
  const int size = layout_.IM_Icon.width;
  ui::ImageList IL_SysIcon(size, size);
  for (int id : {kResIdleIcon, kResSystemIcon}) {
    ui::UniqueIcon icon(LoadIconResource(id, size));
    IL_SysIcon.Add(icon.get());
  }
  IdleIcon = IL_SysIcon.GetIcon(0);
  SystemIcon = IL_SysIcon.GetIcon(1);
}

void TForm1::FormResize() {
  RECT outer;
  GetWindowRect(hwnd(), &outer);
  const int w = outer.right - outer.left, h = outer.bottom - outer.top;
  const SIZE min = MinOuterSize();
  const int minW = min.cx, minH = min.cy;
  if (!IsIconic(hwnd()) && (w < minW || h < minH)) {
    // The resize this causes comes back here and lays the window out.
    SetWindowPos(hwnd(), nullptr, 0, 0, std::max(w, minW), std::max(h, minH),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  if (!PL_Base.hwnd()) return;
  RECT client;
  GetClientRect(hwnd(), &client);
  // Showing the window reports its size again: nothing to move then.
  if (client.right == laidOut_.cx && client.bottom == laidOut_.cy) return;
  laidOut_ = {client.right, client.bottom};
  LayoutOnResize(layout_, client.right);
  ApplyLayout();
}

SIZE TForm1::MinOuterSize() const {
  const RECT work = ui::WorkAreaOf(hwnd());
  return {std::min<LONG>(layout_.MinOuterWidth, work.right - work.left),
          std::min<LONG>(layout_.MinOuterHeight, work.bottom - work.top)};
}

void TForm1::FormActivate() {
  if (Activated != 0) return;
  Activated = 1;
  if (!worker_) Reload();  // the worker's first reload began at creation
  StartFigures();
  // Else made when the worker's first reload ends.
  if (!Reloading()) MakeLinkHint();
}

// Needed only under the pointer, and its making takes as long as a tenth of
// the start: made once the first list stands, never ahead of it.
void TForm1::MakeLinkHint() {
  if (!IM_Link.HasHint()) IM_Link.SetHint(texts::kLinkHint);
}

void TForm1::FormDestroy() {
  StopWorker();
  // Nothing borrowed outlives its owner, whatever comes after the window.
  pointer_.End();
  PL_List.Hold(nullptr);
  GLB_List.SetGlyphs(nullptr);
  IdleIcon.reset();
  SystemIcon.reset();
  DefaultIcon.reset();
  lists_.Clear();
}

void TForm1::TC_MainChange() {
  CurrentTab = static_cast<ListTab>(TC_Main.TabIndex());
  SelectedIndex = -1;
  std::vector<std::wstring> texts;
  EntryModel* model = lists_.Tab(CurrentTab);
  if (model) {
    if (ntFamily_) model->UpdateFigures(sampler_);
    OrderModel(*model);
    texts = ShownTexts(*model);
    GLB_List.SetGlyphs(&model->Images(), &model->ImageIndices());
  }
  // The figures show on the process tab only.
  GLB_List.SetFigures(model && CurrentTab == ListTab::Processes && ntFamily_ ? &model->Figures() : nullptr,
                      kWidestFigure);
  GLB_List.SetItems(texts);
  ClearDetails();
}

std::vector<std::wstring> TForm1::ShownTexts(const EntryModel& model) const {
  std::vector<std::wstring> texts;
  texts.reserve(model.Size());
  for (size_t i = 0; i < model.Size(); ++i)
    texts.push_back(EntryText(model.EntryAt(i), CurrentTab, WideText));
  return texts;
}

void TForm1::SB_ProcessIDClick() { SortBy(kByProcessId); }
void TForm1::SB_FileNameClick() { SortBy(kByImageName); }

void TForm1::SortBy(int sort) {
  if (SortByName == sort) return;
  SortByName = sort;
  ClearDetails();
  TC_MainChange();
}

void TForm1::OrderModel(EntryModel& model) const {
  switch (SortByName) {
    case kByImageName: model.OrderByImageName(); break;
    case kByCpu: model.OrderByCpu(); break;
    case kByMemory: model.OrderByMemory(); break;
    default: model.OrderByProcessId(); break;
  }
}

void TForm1::OrderProcesses() { OrderModel(lists_.Processes); }

void TForm1::ClearDetails() {
  // Reorders and reloads clear it more than once; nothing changes it in
  // between, as its controls stay disabled.
  if (detailsClear_) return;
  detailsClear_ = true;
  IM_Icon.SetIcon(nullptr);
  for (ui::Edit& e : detailEdits_) e.SetText("");
  CB_Priority.SetItemIndex(kNormalIndex);
  CB_Priority.SetColor(ui::clBtnFace);
  priorityChosen_ = false;
  UpdateCommands();
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
  detailsClear_ = false;
  priorityChosen_ = false;
  IM_Icon.SetIcon(icon);
  ED_idProcess_hex.SetText(HexId(r.idProcess));
  CB_Priority.SetColor(ui::clWindow);
  CB_Priority.SetItemIndex(PriorityIndexOf(live.PriorityClass));
  UpdateCommands();
  for (int i = 0; i < kDetailRowCount; ++i) detailEdits_[i].SetText(kDetailRows[i].read(r, live.WindowTitles));
}

void TForm1::CB_PriorityChange() {
  priorityChosen_ = true;
  UpdateCommands();
}

void TForm1::BB_UpdateClick() {
  const TQorSvc* entry = SelectedEntry();
  if (!entry || !CanSetEntryPriority()) return;
  priorityChosen_ = false;
  UpdateCommands();
  if (RefuseReplaced(*entry)) return;
  const DWORD cls = PriorityClassAt(CB_Priority.ItemIndex());
  // The box shows the class in effect, not the one asked for.
  CB_Priority.SetItemIndex(
      PriorityIndexOf(ChangeProcessPriority(entry->idProcess, cls, SelectedCreated())));
}

void TForm1::BB_StopClick() {
  const TQorSvc* entry = SelectedEntry();
  if (!entry || !StopAllowed()) return;
  if (RefuseReplaced(*entry)) return;
  StopProcess(entry->idProcess, SelectedCreated());
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
      const SIZE min = MinOuterSize();
      mm->ptMinTrackSize = {min.cx, min.cy};
      return 0;
    }
    case ui::kWmDpiChanged:
      DpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      FollowSystemLook();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) FormActivate();
      if (LOWORD(wp) == WA_INACTIVE) pointer_.End();  // another window took the keyboard
      if (HIWORD(wp)) break;  // minimized: nothing to focus
      FocusOnActivate(LOWORD(wp) != WA_INACTIVE);
      return 0;
    case kWmPointerClicked:
      PointerClicked({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return 0;
    case kWmPointerCancelled:
      pointer_.End();
      return 0;
    case kWmWorkerPosted:
      WorkerPosted();
      return 0;
    case WM_TIMER:
      if (wp == kFigureTimer) FigureTick();
      if (wp == kTimerClosingWindow) WatchClosingWindow();
      return 0;
    case WM_SYSCOMMAND:
      if (WindowMenuCommand(wp)) return 0;
      break;
    case WM_INITMENUPOPUP:
      if (HIWORD(lp)) WindowMenuOpening(reinterpret_cast<HMENU>(wp));
      break;
    case WM_CLOSE:
      // Sent again while the close waits for the start lock: it runs once.
      if (closing_) return 0;
      closing_ = true;
      // A reload under way ends early: no slow window's answer is waited for.
      StopWorker();
      if (OnClosing) OnClosing();
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      FormDestroy();
      PostQuitMessage(0);
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

// What every command may do, from the selected entry as the model holds it.
bool TForm1::CanStopEntry() {
  const TQorSvc* r = SelectedEntry();
  if (!r || SelectedEnded()) return false;
  DWORD ownId = 0;
  GetWindowThreadProcessId(appWindow_.get(), &ownId);
  return r->DisplayName != WideText(texts::kSystemName) && r->DisplayName != WideText(texts::kIdleName) &&
         r->idProcess != ownId;
}

bool TForm1::CanSetEntryPriority() {
  const TQorSvc* r = SelectedEntry();
  return r && ntFamily_ && r->idProcess != 0 && !SelectedEnded();
}

bool TForm1::SelectedEnded() {
  const EntryModel* model = lists_.Tab(CurrentTab);
  const int i = GLB_List.ItemIndex();
  return model && i >= 0 && model->Ended(static_cast<size_t>(i));
}

const FILETIME* TForm1::SelectedCreated() {
  const TQorSvc* r = SelectedEntry();
  const EntryModel* model = lists_.Tab(CurrentTab);
  return r && model ? model->CreatedOf(r->idProcess) : nullptr;
}

bool TForm1::StopAllowed() { return !detailsClear_ && CanStopEntry(); }

void TForm1::UpdateCommands() {
  const bool shown = !detailsClear_;
  BB_Stop.SetEnabled(StopAllowed());
  CB_Priority.SetEnabled(shown && CanSetEntryPriority());
  BB_Update.SetEnabled(shown && priorityChosen_ && CanSetEntryPriority());
}

bool TForm1::RefuseReplaced(const TQorSvc& entry) {
  if (!ProcessReplaced(entry.idProcess, SelectedCreated())) return false;
  // Its entry is out of date: the lists are read again, then the status bar says why.
  const std::string why = texts::kStatusReplaced + ShownText(entry.DisplayName) + " (" +
                          std::to_string(entry.idProcess) + ")";
  ReloadThen([this, why] { StatusBar1.SetStatus(why); });
  return true;
}

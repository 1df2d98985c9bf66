// The reload: one job, run on the NT family by the worker, whose finished
// parts the window takes as they come; on the 9x family (and where no thread
// can be made) here, on the window's thread. Either way each part goes to
// TakePart.
#include "app/texts.h"
#include "app/unit1.h"

FixedEntries TForm1::Fixed() const {
  return {.IdleName = texts::kIdleName,
          .IdleDescription = texts::kIdleDescription,
          .SystemName = texts::kSystemName,
          .SystemDescription = texts::kSystemDescription,
          .Company = texts::kMicrosoft,
          .DefaultIcon = DefaultIcon.get(),
          .SystemIcon = SystemIcon.get(),
          .IdleIcon = IdleIcon.get()};
}

void TForm1::StartWorker() {
  if (!ntFamily_) return;
  worker_ = std::make_unique<ReloadWorker>(hwnd(), kWmWorkerPosted);
  if (!worker_->Start()) worker_.reset();
}

void TForm1::StopWorker() {
  // Its last parts are dropped with it; their icons are its own.
  worker_.reset();
  retiredIcons_.clear();
}

void TForm1::RenewRetired(std::vector<ListedEntry>& listed) const {
  for (ListedEntry& e : listed)
    for (const RetiredIcon& r : retiredIcons_)
      if (e.icon == r.old.get()) e.icon = r.now;
}

bool TForm1::Reloading() { return worker_ && worker_->Reloading(); }

void TForm1::Reload() {
  if (closing_) return;  // the worker has gone: nothing is read any more
  if (!worker_) {
    ReloadHere();
    return;
  }
  worker_->RequestReload(Fixed());
  // The old entries stay until the new ones are ready.
  StatusBar1.SetStatus(texts::kLoading);
}

void TForm1::ReloadThen(std::function<void()> then) {
  afterReload_ = std::move(then);
  Reload();
  if (!Reloading()) {  // done here, on the window's thread
    auto now = std::move(afterReload_);
    afterReload_ = nullptr;
    if (now) now();
  }
}

void TForm1::ShowReloadedTab() {
  SelectedIndex = -1;
  // The process list in the current order whatever tab shows; the shown
  // tab's own ordering in TC_MainChange then finds it in order.
  OrderProcesses();
  TC_Main.SetTabIndex(static_cast<int>(CurrentTab));
  TC_MainChange();
}

void TForm1::TakePart(std::unique_ptr<ReloadPart> part) {
  using Kind = ReloadPart::Kind;
  if (part->kind != Kind::Applications) sampler_ = std::move(part->figures);
  if (part->kind == Kind::Figures) {
    ApplyFigures();
    return;
  }
  RenewRetired(part->snapshot.Processes);
  RenewRetired(part->snapshot.Applications);
  lists_.Take(*part);
  const ListTab tab = part->kind == Kind::Processes ? ListTab::Processes : ListTab::Applications;
  if (ntFamily_) lists_.Tab(tab)->UpdateFigures(sampler_);
  // The process tab stands before the window titles are collected; the
  // other tab keeps its entries and selection until its own part comes.
  if (CurrentTab == tab) ShowReloadedTab();
}

void TForm1::ReloadEnded() {
  retiredIcons_.clear();
  MakeLinkHint();
  StatusBar1.SetStatus(texts::kStatusNotice);
  auto then = std::move(afterReload_);
  afterReload_ = nullptr;
  if (then) then();
}

void TForm1::WorkerPosted() {
  if (!worker_) return;
  while (std::unique_ptr<ReloadPart> part = worker_->Take()) {
    const bool last = part->kind == ReloadPart::Kind::Applications;
    TakePart(std::move(part));
    if (!last) continue;
    worker_->Acknowledge();
    if (!worker_->Reloading()) ReloadEnded();
  }
}

void TForm1::ReloadHere() {
  HCURSOR old = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  SelectedIndex = -1;
  lists_.Clear();
  GLB_List.ClearHeld();
  // Drawn again by the refill; also when the reload fails on the way.
  struct Release {
    TGraphicListBox& list;
    ~Release() { list.EndHold(); }
  } release{GLB_List};
  ClearDetails();
  hereJob_.Reload(Fixed(), nullptr, [this](std::unique_ptr<ReloadPart> part) {
    const bool processes = part->kind == ReloadPart::Kind::Processes;
    TakePart(std::move(part));
    if (!processes || CurrentTab != ListTab::Processes) return;
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Looking for a message that never comes lets Wine show the drawing now.
    MSG none;
    PeekMessageA(&none, hwnd(), WM_APP + 0x3FFF, WM_APP + 0x3FFF, PM_NOREMOVE);
  });
  SetCursor(old);
  ReloadEnded();
}

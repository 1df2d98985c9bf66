// The live figures: each process's processor share and private bytes, read
// every 2 seconds while the window shows, and the orderings by them.
#include <algorithm>

#include "app/unit1.h"

namespace {

constexpr UINT kFigurePeriodMs = 2000;

}  // namespace

void TForm1::StartFigures() {
  if (ntFamily_) SetTimer(hwnd(), kFigureTimer, kFigurePeriodMs, nullptr);
}

void TForm1::FigureTick() {
  // Nothing is read while nobody can see the figures.
  if (!IsWindowVisible(hwnd()) || IsIconic(hwnd())) return;
  if (worker_) {
    worker_->RequestFigures();
    return;
  }
  hereJob_.Figures([this](std::unique_ptr<ReloadPart> part) { TakePart(std::move(part)); });
}

void TForm1::ApplyFigures() {
  if (!ntFamily_) return;
  // The other tab's entries take the reading when it is shown (TC_MainChange).
  EntryModel* model = lists_.Tab(CurrentTab);
  if (!model) return;
  const std::vector<size_t> changed = model->UpdateFigures(sampler_);
  const bool byFigure = SortByName == kByCpu || SortByName == kByMemory;
  // A new order draws the whole list; else only the figures that changed.
  if ((!byFigure || !ReorderKeepingSelection()) && CurrentTab == ListTab::Processes)
    for (size_t i : changed) GLB_List.RedrawEntry(static_cast<int>(i));
  UpdateCommands();
}

bool TForm1::ReorderKeepingSelection() {
  EntryModel* model = lists_.Tab(CurrentTab);
  if (!model) return false;
  const int selected = GLB_List.ItemIndex();
  const bool hasSelection = selected >= 0 && static_cast<size_t>(selected) < model->Size();
  const uint32_t pid = hasSelection ? model->EntryAt(static_cast<size_t>(selected)).idProcess : 0;
  const HWND window = hasSelection ? model->WindowAt(static_cast<size_t>(selected)) : nullptr;
  const HWND list = GLB_List.hwnd();
  const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  std::vector<uint32_t> before;
  before.reserve(model->Size());
  for (size_t i = 0; i < model->Size(); ++i) before.push_back(model->EntryAt(i).idProcess);
  OrderModel(*model);
  bool moved = false;
  for (size_t i = 0; i < model->Size() && !moved; ++i) moved = model->EntryAt(i).idProcess != before[i];
  if (!moved) return false;
  GLB_List.SetItems(ShownTexts(*model));
  int now = -1;
  for (size_t i = 0; i < model->Size() && hasSelection && now < 0; ++i)
    if (model->EntryAt(i).idProcess == pid && model->WindowAt(i) == window) now = static_cast<int>(i);
  if (now < 0) {
    SendMessageA(list, LB_SETTOPINDEX, top, 0);
    return true;
  }
  // The selected entry stays where it was in the view, as far as the list allows.
  GLB_List.SetItemIndex(now);
  SelectedIndex = now;
  SendMessageA(list, LB_SETTOPINDEX, std::max(0, now - (selected - top)), 0);
  return true;
}

// What the keys and the context menu do with the selected entry: copy it,
// open its executable's folder or properties, switch to its window, close it.
#include "app/unit1.h"

#include "app/clipboard.h"
#include "app/copy_text.h"
#include "app/texts.h"
#include "procinfo/app_windows.h"
#include "productinfo/qorfunc.h"
#include "ui/text_calls.h"

namespace {

// Which entry SelectEntryWhere selects: one of the process, or one made from the window.
std::function<bool(const EntryModel&, size_t)> OfProcess(DWORD pid) {
  return [pid](const EntryModel& m, size_t i) { return m.EntryAt(i).idProcess == pid; };
}
std::function<bool(const EntryModel&, size_t)> OfWindow(HWND w) {
  return [w](const EntryModel& m, size_t i) { return m.WindowAt(i) == w; };
}

}  // namespace

const TQorSvc* TForm1::SelectedEntry() {
  const EntryModel* model = lists_.Tab(CurrentTab);
  const int i = GLB_List.ItemIndex();
  if (!model || i < 0 || i >= static_cast<int>(model->Size())) return nullptr;
  return &model->EntryAt(static_cast<size_t>(i));
}

void TForm1::CopyEntry() {
  const TQorSvc* entry = SelectedEntry();
  if (!entry) return;
  TitleBudget budget;  // slow windows cost a copy a second at most
  const std::vector<std::wstring> titles = CollectWindowTitles(entry->idProcess, false, budget);
  PutOnClipboard(hwnd(), EntryCopyText(*entry, titles, WideText));
}

void TForm1::ShowEntryDetails() {
  const TQorSvc* entry = SelectedEntry();
  if (!entry) return;
  DetailsSubject subject;
  subject.pid = entry->idProcess;
  subject.name = entry->DisplayName;
  const std::wstring* file = RealFileOf(*entry);
  if (file) subject.path = *file;
  else if (EntryHasFile(*entry)) subject.path = entry->FileName;
  details_.Show(hwnd(), subject);
}

const std::wstring* TForm1::RealFileOf(const TQorSvc& entry) {
  const EntryModel* model = lists_.Tab(CurrentTab);
  return model ? model->FileOf(entry.idProcess) : nullptr;
}

bool TForm1::EntryHasFile(const TQorSvc& entry) { return FileExists(EntryFile(entry)); }

// The file itself: its real path where the reading found one, which also
// names a file the shown path cannot.
const std::wstring& TForm1::EntryFile(const TQorSvc& entry) {
  const std::wstring* real = RealFileOf(entry);
  return real ? *real : entry.FileName;
}

void TForm1::OpenEntryFolder() {
  const TQorSvc* entry = SelectedEntry();
  if (!entry || !EntryHasFile(*entry) || RefuseReplaced(*entry)) return;
  ui::OpenExplorer(hwnd(), L"/select,\"" + EntryFile(*entry) + L"\"");
}

void TForm1::ShowEntryProperties() {
  const TQorSvc* entry = SelectedEntry();
  if (!entry || !EntryHasFile(*entry) || RefuseReplaced(*entry)) return;
  ui::ShowFileProperties(hwnd(), EntryFile(*entry));
}

void TForm1::SwitchToEntryWindow() {
  const TQorSvc* entry = CurrentTab == ListTab::Applications ? SelectedEntry() : nullptr;
  if (!entry) return;
  // The window the entry was made from: its title may be shown cut (a TAB or
  // a line break in it), and twins share a title.
  HWND w = lists_.Applications.WindowAt(static_cast<size_t>(GLB_List.ItemIndex()));
  if (!IsApplicationWindowOf(w, entry->idProcess)) return;  // closed since the last reload
  // Our own entry is the hidden application window: activated, it would
  // take the keyboard from this one. The user is here already.
  if (entry->idProcess == GetCurrentProcessId()) {
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    SetForegroundWindow(hwnd());
    return;
  }
  if (IsIconic(w)) ShowWindowAsync(w, SW_RESTORE);
  SetForegroundWindow(w);
}

void TForm1::CloseEntryWindow() {
  const TQorSvc* entry = CurrentTab == ListTab::Applications ? SelectedEntry() : nullptr;
  if (!entry) return;
  HWND w = lists_.Applications.WindowAt(static_cast<size_t>(GLB_List.ItemIndex()));
  if (!IsApplicationWindowOf(w, entry->idProcess)) {
    Reload();  // gone since the last reload: so is its entry
    return;
  }
  // Our own entry is the hidden application window: the user closes this one.
  if (entry->idProcess == GetCurrentProcessId()) w = hwnd();
  closingWindow_ = {base::Borrowed<HWND>(w), entry->idProcess, GetTickCount(), ShownText(entry->WindowText)};
  // Posted, never sent: a window that asks a question keeps it, and this
  // window does not wait on its answer.
  PostMessageA(w, WM_CLOSE, 0, 0);
  SetTimer(hwnd(), kTimerClosingWindow, 100, nullptr);
}

void TForm1::WatchClosingWindow() {
  ClosingWindow& c = closingWindow_;
  if (!IsApplicationWindowOf(c.window.get(), c.pid)) {
    KillTimer(hwnd(), kTimerClosingWindow);
    Reload();
    return;
  }
  if (GetTickCount() - c.asked < kCloseWaitMs) return;
  KillTimer(hwnd(), kTimerClosingWindow);
  StatusBar1.SetStatus(texts::kStatusNotClosed + c.title);
}

void TForm1::StartPointing() {
  if (!pointer_.Start(hwnd(), layout_.dpi)) StatusBar1.SetStatus(texts::kStatusNoPointing);
}

void TForm1::PointerClicked(POINT at) {
  if (!pointer_.Active()) return;
  HWND w = pointer_.WindowAt(at);
  pointer_.End();
  DWORD pid = 0;
  // A click on nothing or on this program cancels.
  if (!w || !GetWindowThreadProcessId(w, &pid) || pid == GetCurrentProcessId()) return;
  if (SelectWindowEntry(w, pid)) return;
  ReloadThen([this, w, pid] {  // started since the last reload
    if (!SelectWindowEntry(w, pid)) SelectEntryWhere(ListTab::Processes, OfProcess(pid));
  });
}

bool TForm1::SelectWindowEntry(HWND w, DWORD pid) {
  if (SelectEntryWhere(ListTab::Applications, OfWindow(w))) return true;
  // An application window not listed as one: the list is older than the window.
  if (IsApplicationWindowOf(w, pid) && !KeptWindowText(w).empty()) return false;
  return SelectEntryWhere(ListTab::Processes, OfProcess(pid));
}

bool TForm1::SelectEntryWhere(ListTab tab, const std::function<bool(const EntryModel&, size_t)>& is) {
  auto find = [&]() -> int {
    const EntryModel* model = lists_.Tab(tab);
    for (size_t i = 0; model && i < model->Size(); ++i)
      if (is(*model, i)) return static_cast<int>(i);
    return -1;
  };
  if (find() < 0) return false;
  if (CurrentTab != tab) {
    TC_Main.SetTabIndex(static_cast<int>(tab));
    TC_MainChange();  // orders the tab's entries as shown
  }
  const int index = find();
  GLB_List.SetItemIndex(index);
  GLB_ListClick();  // the panel shows it
  return true;
}

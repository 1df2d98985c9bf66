// What the keys and the context menu do with the selected entry: copy it,
// open its executable's folder or properties, switch to its window.
#include "app/unit1.h"

#include <shellapi.h>

#include <cstring>

#include "app/copy_text.h"
#include "procinfo/app_windows.h"
#include "procinfo/entry_line.h"
#include "productinfo/qorfunc.h"

namespace {

constexpr UINT kCodePage = 932;  // every text of the program

using UniqueGlobal = ui::Owned<ui::PtrTraits<HGLOBAL, GlobalFree>>;

// A movable block holding `size` bytes of `data`; empty when out of memory.
UniqueGlobal GlobalCopy(const void* data, size_t size) {
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!block) return block;
  void* p = GlobalLock(block.get());
  if (!p) return UniqueGlobal();
  std::memcpy(p, data, size);
  GlobalUnlock(block.get());
  return block;
}

// Holds the clipboard open for one scope.
class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  bool open() const { return open_; }

 private:
  bool open_;
};

// Puts code-page-932 text on the clipboard as CF_UNICODETEXT and CF_TEXT.
void PutOnClipboard(HWND owner, const std::string& text) {
  const int wide = MultiByteToWideChar(kCodePage, 0, text.c_str(), -1, nullptr, 0);
  if (wide <= 0) return;
  std::wstring w(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(kCodePage, 0, text.c_str(), -1, w.data(), wide);
  UniqueGlobal unicode = GlobalCopy(w.c_str(), w.size() * sizeof(wchar_t));
  UniqueGlobal ansi = GlobalCopy(text.c_str(), text.size() + 1);
  if (!unicode || !ansi) return;
  OpenClipboardScope clipboard(owner);
  if (!clipboard.open() || !EmptyClipboard()) return;
  // The clipboard owns each block it accepts.
  if (SetClipboardData(CF_UNICODETEXT, unicode.get())) unicode.release();
  if (SetClipboardData(CF_TEXT, ansi.get())) ansi.release();
}

struct WindowSearch {
  DWORD pid;
  const std::string* title;
  int skip;  // earlier windows of the process with the same title
  HWND found;
};

BOOL CALLBACK FindApplicationWindow(HWND w, LPARAM param) {
  auto* s = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s->pid || GetWindow(w, GW_OWNER) || !IsWindowVisible(w)) return TRUE;
  if (WindowTitleOf(w) != *s->title) return TRUE;
  if (s->skip-- > 0) return TRUE;
  s->found = w;
  return FALSE;
}

}  // namespace

const std::string* TForm1::SelectedLine() {
  auto [lines, images] = TabLists(CurrentTab);
  const int i = GLB_List.ItemIndex();
  if (!lines || i < 0 || i >= static_cast<int>(lines->size())) return nullptr;
  return &(*lines)[static_cast<size_t>(i)];
}

void TForm1::CopyEntry() {
  const std::string* line = SelectedLine();
  if (!line) return;
  TQorSvc svc;
  LineToSvc(*line, svc);
  PutOnClipboard(hwnd(), EntryCopyText(svc, CollectWindowTitles(svc.idProcess, false)));
}

void TForm1::OpenEntryFolder() {
  const std::string* line = SelectedLine();
  if (!line) return;
  TQorSvc svc;
  LineToSvc(*line, svc);
  if (!FileExists(svc.FileName)) return;
  const std::string args = "/select,\"" + svc.FileName + "\"";
  ShellExecuteA(hwnd(), "open", "explorer.exe", args.c_str(), nullptr, SW_SHOWNORMAL);
}

void TForm1::ShowEntryProperties() {
  const std::string* line = SelectedLine();
  if (!line) return;
  TQorSvc svc;
  LineToSvc(*line, svc);
  if (!FileExists(svc.FileName)) return;
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_INVOKEIDLIST;
  info.hwnd = hwnd();
  info.lpVerb = "properties";
  info.lpFile = svc.FileName.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExA(&info);
}

void TForm1::SwitchToEntryWindow() {
  const std::string* line = CurrentTab == 1 ? SelectedLine() : nullptr;
  if (!line) return;
  TQorSvc svc;
  LineToSvc(*line, svc);
  // Twins (same process, same title) are told apart by their order in the list.
  WindowSearch search{svc.idProcess, &svc.WindowText, 0, nullptr};
  TQorSvc other;
  for (const std::string* l = lists_.ApplicationLines.data(); l != line; ++l) {
    LineToSvc(*l, other);
    if (other.idProcess == svc.idProcess && other.WindowText == svc.WindowText) ++search.skip;
  }
  EnumWindows(FindApplicationWindow, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;  // closed since the last reload
  if (IsIconic(search.found)) ShowWindowAsync(search.found, SW_RESTORE);
  SetForegroundWindow(search.found);
}

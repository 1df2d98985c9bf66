#include "app/clipboard.h"

#include <cstring>

#include "base/shown_text.h"
#include "ui/gdi.h"

namespace {

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

}  // namespace

void PutOnClipboard(HWND owner, const std::wstring& w) {
  const std::string text = ShownText(w);
  UniqueGlobal unicode = GlobalCopy(w.c_str(), (w.size() + 1) * sizeof(wchar_t));
  UniqueGlobal ansi = GlobalCopy(text.c_str(), text.size() + 1);
  if (!unicode || !ansi) return;
  OpenClipboardScope clipboard(owner);
  if (!clipboard.open() || !EmptyClipboard()) return;
  // The clipboard owns each block it accepts.
  if (SetClipboardData(CF_UNICODETEXT, unicode.get())) unicode.release();
  if (SetClipboardData(CF_TEXT, ansi.get())) ansi.release();
}

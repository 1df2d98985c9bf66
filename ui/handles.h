// Move-only owners, one per handle kind. Copying is deleted; each owner
// releases its handle with the one call that kind needs.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <ddeml.h>

#include <utility>

namespace ui {

template <typename Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;
  Owned() = default;
  explicit Owned(Handle h) : h_(h) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, Traits::Null())) {}
  Owned& operator=(Owned&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, Traits::Null()));
    return *this;
  }
  ~Owned() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return Traits::Valid(h_); }
  Handle release() { return std::exchange(h_, Traits::Null()); }
  void reset(Handle h = Traits::Null()) {
    if (Traits::Valid(h_)) Traits::Close(h_);
    h_ = h;
  }

 private:
  Handle h_ = Traits::Null();
};

template <typename H, auto CloseFn>
struct PtrTraits {
  using Handle = H;
  static Handle Null() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { CloseFn(h); }
};

struct KernelTraits {  // process, token, thread, snapshot: never INVALID_HANDLE_VALUE
  using Handle = HANDLE;
  static Handle Null() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};

struct DdeInstanceTraits {
  using Handle = DWORD;
  static Handle Null() { return 0; }
  static bool Valid(Handle h) { return h != 0; }
  static void Close(Handle h) { DdeUninitialize(h); }
};

inline void CloseKey(HKEY k) { RegCloseKey(k); }
inline void ImageListDestroy(HIMAGELIST l) { ImageList_Destroy(l); }
inline void DeleteGdi(HGDIOBJ o) { DeleteObject(o); }

using UniqueWindow = Owned<PtrTraits<HWND, DestroyWindow>>;
using UniqueIcon = Owned<PtrTraits<HICON, DestroyIcon>>;
using UniqueImageList = Owned<PtrTraits<HIMAGELIST, ImageListDestroy>>;
using UniqueFont = Owned<PtrTraits<HFONT, DeleteGdi>>;
using UniqueBrush = Owned<PtrTraits<HBRUSH, DeleteGdi>>;
using UniquePen = Owned<PtrTraits<HPEN, DeleteGdi>>;
using UniqueBitmap = Owned<PtrTraits<HBITMAP, DeleteGdi>>;
using UniqueMemDC = Owned<PtrTraits<HDC, DeleteDC>>;
using UniqueHandle = Owned<KernelTraits>;
using UniqueKey = Owned<PtrTraits<HKEY, CloseKey>>;
using UniqueLibrary = Owned<PtrTraits<HMODULE, FreeLibrary>>;
using UniqueDdeInstance = Owned<DdeInstanceTraits>;

// A window's DC, released to that window.
class WindowDC {
 public:
  explicit WindowDC(HWND w) : w_(w), dc_(GetDC(w)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(w_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND w_;
  HDC dc_;
};

// Selects an object into a DC for one scope and puts the old one back.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;
  ~Selected() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace ui

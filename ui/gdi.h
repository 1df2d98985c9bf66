// Owners of windows and drawing objects, and scoped uses of device
// contexts: released with the one call each kind needs.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "base/handles.h"

namespace ui {

using base::Borrowed;
using base::Owned;
using base::PtrTraits;
using base::UniqueIcon;

inline void ImageListDestroy(HIMAGELIST l) { ImageList_Destroy(l); }
inline void DeleteGdi(HGDIOBJ o) { DeleteObject(o); }

using UniqueWindow = Owned<PtrTraits<HWND, DestroyWindow>>;
using UniqueImageList = Owned<PtrTraits<HIMAGELIST, ImageListDestroy>>;
using UniqueFont = Owned<PtrTraits<HFONT, DeleteGdi>>;
using UniqueBrush = Owned<PtrTraits<HBRUSH, DeleteGdi>>;
using UniquePen = Owned<PtrTraits<HPEN, DeleteGdi>>;
using UniqueBitmap = Owned<PtrTraits<HBITMAP, DeleteGdi>>;
using UniqueMemDC = Owned<PtrTraits<HDC, DeleteDC>>;

// The DC of a window's client area (GetDC; the screen for null), released to that window.
class ClientDC {
 public:
  explicit ClientDC(HWND w) : w_(w), dc_(GetDC(w)) {}
  ClientDC(const ClientDC&) = delete;
  ClientDC& operator=(const ClientDC&) = delete;
  ~ClientDC() {
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

// BeginPaint and EndPaint for one WM_PAINT.
class PaintDC {
 public:
  explicit PaintDC(HWND w) : w_(w), dc_(BeginPaint(w, &ps_)) {}
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { EndPaint(w_, &ps_); }
  HDC get() const { return dc_; }
  const RECT& PaintRect() const { return ps_.rcPaint; }

 private:
  HWND w_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

}  // namespace ui

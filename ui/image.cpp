#include "ui/image.h"

#include "ui/text_calls.h"

namespace ui {

namespace {
constexpr char kClass[] = "VorlaneImage";
}

HCURSOR PointingHandCursor(CursorLoader load) {
  // The 9x family and NT 4 have no hand: the arrow, rather than no pointer.
  HCURSOR hand = load(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
  return hand ? hand : load(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
}

bool Image::Create(const Args& a) {
  RegisterClassOnce(kClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  const Box& b = a.bounds;
  return CreateWin(0, kClass, a.text, WS_CHILD | WS_VISIBLE, b.left, b.top, b.width, b.height,
                   a.parent, a.id);
}

void Image::SetIcon(HICON icon) {
  icon_.reset(icon ? CopyIcon(icon) : nullptr);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Image::SetBitmap(int resourceId) {
  bitmap_.reset(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0,
                                                0)));
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Image::SetHint(const char* text) {
  tooltip_.reset(CreateWindow932(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                 nullptr));
  if (!tooltip_) return;
  AddTool932(tooltip_.get(), hwnd(), text);
}

void Image::Paint() {
  PaintDC paint(hwnd());
  const HDC dc = paint.get();
  RECT client;
  GetClientRect(hwnd(), &client);
  if (bitmap_) {
    UniqueMemDC mem(CreateCompatibleDC(dc));
    Selected sel(mem.get(), bitmap_.get());
    BITMAP info{};
    GetObjectA(bitmap_.get(), sizeof info, &info);
    // Stretched over the image as laid out for the window's DPI.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, client.right, client.bottom, mem.get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
  } else if (icon_) {
    DrawIconEx(dc, 0, 0, icon_.get(), client.right, client.bottom, 0, nullptr, DI_NORMAL);
  }
}

LRESULT Image::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      Paint();
      return 0;
    case STM_GETICON:  // as a static answers it
      return reinterpret_cast<LRESULT>(icon_.get());
    case WM_LBUTTONDOWN:
      // Captured, so the release comes here wherever it happens.
      pressed_ = true;
      SetCapture(hwnd());
      return 0;
    case WM_LBUTTONUP: {
      const bool click = pressed_ && ReleasedInside(hwnd(), lp);
      pressed_ = false;
      if (GetCapture() == hwnd()) ReleaseCapture();
      if (click && OnClick) OnClick();
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return 0;
    case WM_SETCURSOR:
      if (OnClick) {
        SetCursor(PointingHandCursor(LoadCursorA));
        return TRUE;
      }
      break;
    case WM_DESTROY:
      tooltip_.reset();
      break;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace ui

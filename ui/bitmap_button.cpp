#include "ui/bitmap_button.h"

#include "ui/text_calls.h"

#include <utility>
#include <vector>

#include "base/contrast.h"
#include "ui/dpi.h"
#include "ui/window.h"

namespace ui {

namespace {

// The two-image bitmap `bmp` (w x h) scaled for `dpi` pixel by pixel, so
// that its transparent colour stays exact; the bitmap itself at 96 DPI.
UniqueBitmap ScaledForDpi(UniqueBitmap bmp, int w, int h, int dpi) {
  if (dpi == kDesignDpi) return bmp;
  UniqueMemDC from(CreateCompatibleDC(nullptr)), to(CreateCompatibleDC(nullptr));
  Selected selFrom(from.get(), bmp.get());
  const int sw = 2 * ScaleForDpi(w / 2, dpi), sh = ScaleForDpi(h, dpi);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, sw, sh, 1, 24, BI_RGB};
  void* bits = nullptr;
  UniqueBitmap scaled(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!scaled) return bmp;
  Selected selTo(to.get(), scaled.get());
  SetStretchBltMode(to.get(), COLORONCOLOR);
  StretchBlt(to.get(), 0, 0, sw, sh, from.get(), 0, 0, w, h, SRCCOPY);
  return scaled;
}

// The glyphs' dark outline, drawn for a light face.
constexpr uint32_t kGlyphInk = 0x000000;

// High contrast, set or as a dark scheme: the glyphs' own colours would vanish
// on the face, and an embossed caption would read as an enabled one.
bool InSystemColours() {
  return base::DrawInSystemColours(HighContrastOn(), {{kGlyphInk, GetSysColor(COLOR_BTNFACE)}});
}

// The glyph's shape (`shape`: 0 on it, 1 around it) in `colour` at x, y.
void DrawShape(HDC dc, HBITMAP shape, int w, int h, int x, int y, COLORREF colour) {
  UniqueMemDC shapeDc(CreateCompatibleDC(dc));
  UniqueBrush brush(CreateSolidBrush(colour));
  if (!shapeDc || !brush) return;
  Selected selShape(shapeDc.get(), shape);
  Selected selBrush(dc, brush.get());
  const COLORREF text = SetTextColor(dc, RGB(0, 0, 0)), back = SetBkColor(dc, RGB(255, 255, 255));
  constexpr DWORD kBrushWhereSourceIsZero = 0x00B8074A;  // (D ^ P) & S ^ P
  BitBlt(dc, x, y, w, h, shapeDc.get(), 0, 0, kBrushWhereSourceIsZero);
  SetTextColor(dc, text);
  SetBkColor(dc, back);
}

}  // namespace

bool BitmapButton::Create(const Args& a) {
  caption_ = a.caption;
  framePainted_ = false;  // drawn whole by its owner
  return Control::Create(a.parent, "BUTTON", a.caption, BS_OWNERDRAW | (a.tabStop ? WS_TABSTOP : 0),
                         0, a.bounds, a.id);
}

void BitmapButton::SetGlyph(int resourceId) {
  glyphId_ = resourceId;
  SetGlyphDpi(WindowDpi(hwnd()));
}

void BitmapButton::SetGlyphDpi(int dpi) {
  if (!glyphId_) return;
  UniqueBitmap bmp(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                   MAKEINTRESOURCEA(glyphId_), IMAGE_BITMAP, 0,
                                                   0, LR_CREATEDIBSECTION)));
  if (!bmp) return;
  BITMAP info{};
  if (GetObjectA(bmp.get(), sizeof info, &info) != sizeof info) return;
  bmp = ScaledForDpi(std::move(bmp), info.bmWidth, info.bmHeight, dpi);
  if (!bmp || GetObjectA(bmp.get(), sizeof info, &info) != sizeof info) return;
  const int h = info.bmHeight;
  const int w = info.bmWidth / 2;
  UniqueMemDC dc(CreateCompatibleDC(nullptr));
  if (!dc) return;
  COLORREF transparent;
  {
    Selected sel(dc.get(), bmp.get());
    transparent = GetPixel(dc.get(), 0, h - 1);
  }
  if (transparent == CLR_INVALID) return;
  // The normal image's shape, for high contrast: the transparent colour
  // becomes 1 as the copy turns the colours into one bit.
  UniqueBitmap shape(CreateBitmap(w, h, 1, 1, nullptr));
  if (shape) {
    UniqueMemDC to(CreateCompatibleDC(nullptr));
    Selected selTo(to.get(), shape.get()), sel(dc.get(), bmp.get());
    SetBkColor(dc.get(), transparent);
    BitBlt(to.get(), 0, 0, w, h, dc.get(), 0, 0, SRCCOPY);
  }
  UniqueImageList glyph(ImageList_Create(w, h, ILC_COLOR24 | ILC_MASK, 2, 0));
  // A glyph is both of its halves or none: the button then draws its caption alone.
  if (!glyph || ImageList_AddMasked(glyph.get(), bmp.get(), transparent) < 0) return;
  glyph_ = std::move(glyph);
  shape_ = std::move(shape);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void BitmapButton::Clicked() {
  if (OnClick) OnClick();
}

bool BitmapButton::OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_DRAWITEM) {
    Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    result = TRUE;
    return true;
  }
  if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
    // A disabled button does nothing, however the click reached it.
    if (Enabled()) Clicked();
    result = 0;
    return true;
  }
  return false;
}

void BitmapButton::Draw(const DRAWITEMSTRUCT& d) const {
  RECT r = d.rcItem;
  const bool down = LooksDown(d);
  const bool disabled = (d.itemState & ODS_DISABLED) != 0;
  HDC dc = d.hDC;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));

  const std::string& caption = caption_;
  HFONT font = Font();
  Selected sel(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  RECT measure{0, 0, 0, 0};
  DrawText932(dc, caption, &measure, DT_SINGLELINE | DT_CALCRECT);
  int gw = 0, gh = 0;
  if (glyph_) ImageList_GetIconSize(glyph_.get(), &gw, &gh);
  const int spacing = (gw && !caption.empty()) ? 4 : 0;
  const int total = gw + spacing + (measure.right - measure.left);
  const int shift = down ? 1 : 0;
  int x = r.left + (r.right - r.left - total) / 2 + shift;
  const bool systemColours = InSystemColours();
  const COLORREF textColour = GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
  if (glyph_) {
    const int y = r.top + (r.bottom - r.top - gh) / 2 + shift;
    if (systemColours && shape_)
      DrawShape(dc, shape_.get(), gw, gh, x, y, textColour);
    else
      ImageList_Draw(glyph_.get(), disabled ? 1 : 0, dc, x, y, ILD_TRANSPARENT);
  }
  RECT text{x + gw + spacing, r.top + shift, r.right, r.bottom + shift};
  SetBkMode(dc, TRANSPARENT);
  if (systemColours) {
    SetTextColor(dc, textColour);
  } else if (disabled) {
    OffsetRect(&text, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawText932(dc, caption, &text, DT_SINGLELINE | DT_VCENTER);
    OffsetRect(&text, -1, -1);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  } else {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  }
  DrawText932(dc, caption, &text, DT_SINGLELINE | DT_VCENTER);
  if ((d.itemState & ODS_FOCUS) && !(d.itemState & ODS_NOFOCUSRECT)) {
    RECT f = r;
    InflateRect(&f, -4, -4);
    DrawFocusRect(dc, &f);
  }
}

}  // namespace ui

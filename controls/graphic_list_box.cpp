#include "controls/graphic_list_box.h"

#include <algorithm>
#include <vector>

#include "base/shown_text.h"
#include "base/text.h"
#include "ui/text_calls.h"

namespace {

// Room the list reserves per entry before a fill: about one entry's three
// lines of text (its strings grow past it as they must).
constexpr size_t kStorageBytesPerEntry = 96;

void Polyline3(HDC dc, POINT a, POINT b, POINT c, HPEN pen) {
  ui::Selected sel(dc, pen);
  POINT pts[3] = {a, b, c};
  Polyline(dc, pts, 3);
}

}  // namespace

TGraphicListBox::~TGraphicListBox() {
  if (hwnd() && timerOn_) KillTimer(hwnd(), kHoverTimerId);
}

bool TGraphicListBox::Create(const Args& a) {
  font_ = a.font;
  if (!Control::Create(a.parent, "LISTBOX", "",
                       LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                           WS_VSCROLL | WS_TABSTOP,
                       WS_EX_CLIENTEDGE, a.bounds, a.id))
    return false;
  SetFont(a.font);
  // The list asks for its item height while it is being created, before
  // its wrapper can answer: the height is set here instead.
  if (pendingItemHeight_ > 0) SetItemHeight(pendingItemHeight_);
  return true;
}

void TGraphicListBox::SetListFont(HFONT f) {
  font_ = f;
  SetFont(f);
}

void TGraphicListBox::SetGlyphs(const ui::ImageList* list, const std::vector<int>* indices) {
  glyphs_ = list;
  glyphIndices_ = indices;
}

void TGraphicListBox::SetFigures(const std::vector<EntryFigures>* figures, std::wstring widest) {
  figures_ = figures;
  widestFigure_ = std::move(widest);
}

const EntryFigures* TGraphicListBox::FiguresOf(int index) const {
  if (!figures_ || index < 0 || static_cast<size_t>(index) >= figures_->size()) return nullptr;
  return &(*figures_)[static_cast<size_t>(index)];
}

void TGraphicListBox::RedrawEntry(int index) {
  RECT r{}, client{};
  if (!hwnd() || CallList(LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) == LB_ERR) return;
  GetClientRect(hwnd(), &client);
  RECT shown{};
  if (IntersectRect(&shown, &r, &client)) InvalidateRect(hwnd(), &r, FALSE);
}

int TGraphicListBox::ItemHeight() const {
  if (!hwnd()) return pendingItemHeight_;
  return static_cast<int>(CallList(LB_GETITEMHEIGHT, 0, 0));
}

void TGraphicListBox::SetItemHeight(int h) {
  if (h <= 0) return;
  if (!hwnd()) {
    pendingItemHeight_ = h;
    return;
  }
  if (h == ItemHeight()) return;
  SendMessageA(hwnd(), LB_SETITEMHEIGHT, 0, h);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

int TGraphicListBox::Count() const { return static_cast<int>(CallList(LB_GETCOUNT, 0, 0)); }
int TGraphicListBox::ItemIndex() const { return static_cast<int>(CallList(LB_GETCURSEL, 0, 0)); }
void TGraphicListBox::SetItemIndex(int i) { SendMessageA(hwnd(), LB_SETCURSEL, i, 0); }
void TGraphicListBox::ClearHeld() {
  held_ = true;
  hotIndex_ = -1;  // the entry under the pointer is found again in the new entries
  CallList(WM_SETREDRAW, FALSE, 0);
  CallList(LB_RESETCONTENT, 0, 0);
}

void TGraphicListBox::EndHold() {
  if (!held_ || !hwnd()) return;  // gone: a null window would name the whole desktop
  held_ = false;
  CallList(WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

namespace {
// The entry as the list takes it: the NT family's lists keep UTF-16.
template <typename Call>
void AddTo(const std::wstring& text, Call&& call) {
  if (WideSystem()) {
    call(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return;
  }
  const std::string shown = ShownText(text);
  call(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
}
}  // namespace

void TGraphicListBox::AddItem(const std::wstring& text) {
  AddTo(text, [this](UINT m, WPARAM w, LPARAM l) { return ui::Send(hwnd(), m, w, l); });
}

void TGraphicListBox::SetItems(const std::vector<std::wstring>& texts) {
  if (!hwnd()) return;
  hotIndex_ = -1;
  CallList(WM_SETREDRAW, FALSE, 0);
  CallList(LB_RESETCONTENT, 0, 0);
  CallList(LB_INITSTORAGE, texts.size(), texts.size() * kStorageBytesPerEntry);
  for (const std::wstring& text : texts)
    AddTo(text, [this](UINT m, WPARAM w, LPARAM l) { return CallList(m, w, l); });
  CallList(WM_SETREDRAW, TRUE, 0);
  held_ = false;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT TGraphicListBox::CallList(UINT msg, WPARAM wp, LPARAM lp) const {
  return CallClassProc(msg, wp, lp);
}

std::wstring TGraphicListBox::ItemText(int i) const {
  LRESULT n = CallList(LB_GETTEXTLEN, i, 0);
  if (n == LB_ERR) return {};
  if (WideSystem()) {
    std::vector<wchar_t> buf(static_cast<size_t>(n) + 1);
    CallList(LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
    return std::wstring(buf.data());
  }
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  CallList(LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
  return WideText(buf.data());
}

void TGraphicListBox::FilterDrawRequest(DRAWITEMSTRUCT& d) {
  const bool cue = (d.itemState & ODS_FOCUS) && !(d.itemState & ODS_NOFOCUSRECT) && FocusCueShown();
  d.itemState = (d.itemState & ~(ODS_FOCUS | kFocusCue)) | (cue ? kFocusCue : 0);
}

void TGraphicListBox::DrawRequest(HDC dc, int index, RECT rect, UINT state) {
  DRAWITEMSTRUCT d{};
  d.hDC = dc;
  d.itemID = static_cast<UINT>(index);
  d.rcItem = rect;
  d.itemState = state;
  FilterDrawRequest(d);
  // Drawn again while under the pointer (its figures changed): still hot.
  if (index >= 0 && index == hotIndex_) d.itemState |= kHot;
  if (index >= 0) {
    PaintItem(dc, index, rect, d.itemState);
  } else {
    FillSolid(dc, rect, ChooseColors(0).surface);
  }
}

ItemColors TGraphicListBox::ChooseColors(UINT state) const {
  const bool selected = state & kSelected, hot = state & kHot;
  ItemColors c;
  c.surface = ui::ColorToRGB(Color);
  c.font = {font_.get(), ui::clWindowText};
  c.back = c.surface;
  if (selected) {
    c.back = ui::ColorToRGB(SelectedColor);
    c.frameTopLeft = ui::ColorToRGB(BorderShadow);
    c.frameBottomRight = ui::ColorToRGB(BorderHighlight);
  }
  if (hot) {  // wins over selected
    c.back = ui::ColorToRGB(FocusedColor);
    c.frameTopLeft = ui::ColorToRGB(BorderHighlight);
    c.frameBottomRight = ui::ColorToRGB(BorderShadow);
  }
  c.framed = selected || hot;
  if (HighContrast) {
    // The system's own colours, a selected entry in its highlight ones; the
    // hot entry keeps its colours inside a frame in the hot-track colour.
    c.back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    c.font.color = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    c.framed = false;
    c.hotFrame = hot;
  }
  return c;
}

ItemMetrics TGraphicListBox::Measure(HDC surface, int index, const std::wstring& text,
                                     const std::vector<std::wstring_view>& lines) const {
  RECT client;
  GetClientRect(hwnd(), &client);
  ItemMetrics m;
  m.hasGlyphs = glyphs_ != nullptr;
  m.glyphWidth = glyphs_ ? glyphs_->Width() : 0;
  m.glyphHeight = glyphs_ ? glyphs_->Height() : 0;
  m.clientWidth = client.right;
  m.itemHeight = ItemHeight();
  m.lineCount = static_cast<int>(lines.size());
  ui::Selected sel(surface, font_.get());
  m.lineHeight = ui::TextExtentWide(surface, text).cy;
  for (std::wstring_view line : lines)
    m.textWidth = std::max<int>(m.textWidth, ui::TextExtentWide(surface, line).cx);
  if (const EntryFigures* f = FiguresOf(index); f && lines.size() >= 3)
    for (const std::wstring* t : {&widestFigure_, &f->first, &f->second})
      m.figureWidth = std::max<int>(m.figureWidth, ui::TextExtentWide(surface, *t).cx);
  return m;
}

int TGraphicListBox::GlyphOf(int index) const {
  if (!glyphs_) return -1;
  int glyph = index;
  if (glyphIndices_) {
    if (static_cast<size_t>(index) >= glyphIndices_->size()) return -1;
    glyph = (*glyphIndices_)[static_cast<size_t>(index)];
  }
  return glyph >= 0 && glyph < glyphs_->Count() ? glyph : -1;
}

void TGraphicListBox::FillSolid(HDC dc, const RECT& r, COLORREF color) {
  FillRect(dc, &r, tools_.Brush(color));
}

void TGraphicListBox::DrawLines(HDC image, const std::vector<std::wstring_view>& lines,
                                const ItemGeometry& g, int lineHeight, const ItemColors& c) {
  ui::Selected selFont(image, c.font.handle);
  SetBkMode(image, OPAQUE);
  SetBkColor(image, c.back);
  SetTextColor(image, ui::ColorToRGB(c.font.color));
  for (size_t i = 0; i < lines.size(); ++i) {
    const int y = g.textY + static_cast<int>(i) * lineHeight;
    if (i == 0 || g.textRight >= g.width) {
      ui::TextOutWide(image, g.textX, y, lines[i]);
      continue;
    }
    // Cut before the figures, never drawn under them.
    const int saved = SaveDC(image);
    IntersectClipRect(image, g.textX, y, g.textRight, y + lineHeight);
    ui::TextOutWide(image, g.textX, y, lines[i]);
    RestoreDC(image, saved);
  }
}

void TGraphicListBox::DrawFigures(HDC image, const EntryFigures& f, const ItemGeometry& g,
                                  int lineHeight, const ItemColors& c) {
  // In the entry's own text colour, as its lines.
  ui::Selected selFont(image, c.font.handle);
  SetTextColor(image, ui::ColorToRGB(c.font.color));
  int line = 1;
  for (const std::wstring& text : {f.first, f.second}) {
    const int width = ui::TextExtentWide(image, text).cx;
    ui::TextOutWide(image, g.figureRight - width, g.textY + line++ * lineHeight, text);
  }
}

void TGraphicListBox::DrawGlyph(HDC image, int glyph, const ItemGeometry& g, COLORREF back) {
  glyphCache_.Draw(image, g.glyphX, g.glyphY, *glyphs_, glyph, back, tools_.Brush(back));
}

void TGraphicListBox::DrawFrame(HDC image, const ItemMetrics& m, const ItemColors& c) {
  const int cw = m.clientWidth, ih = m.itemHeight;
  Polyline3(image, {0, ih - 1}, {0, 0}, {cw - 1, 0}, tools_.Pen(c.frameTopLeft));
  Polyline3(image, {0, ih - 1}, {cw - 1, ih - 1}, {cw - 1, 0}, tools_.Pen(c.frameBottomRight));
}

void TGraphicListBox::DrawHotFrame(HDC image, const ItemMetrics& m) {
  const COLORREF hotlight = GetSysColor(COLOR_HOTLIGHT);
  const int cw = m.clientWidth, ih = m.itemHeight;
  for (const RECT& r : {RECT{0, 0, cw, 2}, RECT{0, ih - 2, cw, ih}, RECT{0, 0, 2, ih},
                        RECT{cw - 2, 0, cw, ih}})
    FillSolid(image, r, hotlight);
}

void TGraphicListBox::PaintItem(HDC surface, int index, const RECT& rect, UINT state) {
  ItemColors c = ChooseColors(state);
  const std::wstring text = ItemText(index);
  const std::vector<std::wstring_view> lines = SplitLines(text);
  const ItemMetrics m = Measure(surface, index, text, lines);
  const EntryFigures* figures = m.figureWidth > 0 ? FiguresOf(index) : nullptr;
  // An ended process's entry in the disabled text colour, but where the
  // system's highlight colours mark the selection.
  if (figures && figures->ended && !(HighContrast && (state & kSelected)))
    c.font.color = 0x80000000u | COLOR_GRAYTEXT;
  const ItemGeometry g = ComputeItemGeometry(m);
  HDC image = buffer_.Get(surface, g.width, g.height);
  FillSolid(surface, rect, c.surface);
  if (!image) return;
  FillSolid(image, {0, 0, g.width, g.height}, c.back);
  DrawLines(image, lines, g, m.lineHeight, c);
  if (figures) DrawFigures(image, *figures, g, m.lineHeight, c);
  if (const int glyph = GlyphOf(index); glyph >= 0) DrawGlyph(image, glyph, g, c.back);
  if (c.framed) DrawFrame(image, m, c);
  if (c.hotFrame) DrawHotFrame(image, m);
  SetStretchBltMode(surface, COLORONCOLOR);
  StretchBlt(surface, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, image, 0,
             0, m.clientWidth, m.itemHeight, SRCCOPY);
  if (state & kFocusCue) {
    RECT cue = rect;
    InflateRect(&cue, -2, -2);  // inside the frame
    SetTextColor(surface, RGB(0, 0, 0));
    SetBkColor(surface, RGB(255, 255, 255));
    DrawFocusRect(surface, &cue);
  }
}

bool TGraphicListBox::OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_DRAWITEM) {
    auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    DrawRequest(d->hDC, static_cast<int>(d->itemID), d->rcItem, d->itemState);
    result = TRUE;
    return true;
  }
  if (msg == WM_COMMAND && HIWORD(wp) == LBN_SELCHANGE) {
    if (OnClick) OnClick();
    result = 0;
    return true;
  }
  if (msg == WM_COMMAND && HIWORD(wp) == LBN_DBLCLK && OnDblClick) {
    OnDblClick();
    result = 0;
    return true;
  }
  if (msg == WM_CTLCOLORLISTBOX) {
    SetBkColor(reinterpret_cast<HDC>(wp), ui::ColorToRGB(Color));
    result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    return Color == ui::clWindow;
  }
  return false;
}

LRESULT TGraphicListBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!tracking_)
        PointerEntered();
      else
        WakeHover();
      break;
    // What may bring another entry under a pointer at rest.
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_KEYDOWN:
    case WM_SIZE:
    case LB_SETTOPINDEX:
    case LB_SETCURSEL:
    case LB_SETITEMHEIGHT:
      WakeHover();
      break;
    case WM_MOUSELEAVE:
      tracking_ = false;
      PointerLeft();
      return 0;
    case WM_CONTEXTMENU:
      if (OnContextMenu) {
        OnContextMenu(lp);
        return 0;
      }
      break;
    case WM_CHAR:
      WakeHover();  // finding an entry by typing scrolls to it
      if (OnChar && OnChar(wp)) return 0;
      break;
    case WM_UPDATEUISTATE: {
      // The system keeps the new state; the caret entry shows it.
      const LRESULT r = CallDefault(msg, wp, lp);
      if (HIWORD(wp) & UISF_HIDEFOCUS) RepaintCaret();
      return r;
    }
    case WM_TIMER:
      if (wp == kHoverTimerId) {
        TrackHotItem();
        return 0;
      }
      break;
  }
  return CallDefault(msg, wp, lp);
}

// TGraphicListBox: a system list box (owner-drawn, fixed height, keeping its
// strings) that draws each entry as a glyph beside lines of text, in a
// normal, a selected (sunken frame) and a hot (raised frame) look. The
// system keeps the entries, selection, scrolling, keys and hit-testing.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "controls/glyph_cache.h"
#include "controls/item_geometry.h"
#include "model/entry_figures.h"
#include "ui/color.h"
#include "ui/control.h"
#include "ui/gdi.h"
#include "ui/image_list.h"

// A font as the list draws with it: a handle and a text colour.
struct TFontRef {
  HFONT handle = nullptr;  // borrowed
  ui::TColor color = ui::clWindowText;
};

// How an item looks in one state: what its rectangle is cleared to, the
// item's own background, its font and its frame (none when not framed).
struct ItemColors {
  COLORREF surface = 0, back = 0;
  TFontRef font;
  bool framed = false;
  COLORREF frameTopLeft = 0, frameBottomRight = 0;
  bool hotFrame = false;  // high contrast: the hot entry framed in the hot-track colour
};

// Solid brushes and pens by colour, each made once and kept (a list uses a
// handful of colours).
class SolidTools {
 public:
  HBRUSH Brush(COLORREF c);
  HPEN Pen(COLORREF c);

 private:
  std::vector<std::pair<COLORREF, ui::UniqueBrush>> brushes_;  // owned
  std::vector<std::pair<COLORREF, ui::UniquePen>> pens_;       // owned
};

// The off-screen image every item is drawn into: one memory DC and one
// bitmap, grown when an item needs more room.
class BackBuffer {
 public:
  // The buffer's DC, at least `w` x `h`; null when it could not be made.
  HDC Get(HDC like, int w, int h);

 private:
  ui::UniqueBitmap bits_;  // owned; selected into dc_ while both live
  ui::UniqueMemDC dc_;     // owned; released before bits_
  int width_ = 0, height_ = 0;
};

class TGraphicListBox : public ui::Control {
 public:
  static constexpr UINT kSelected = ODS_SELECTED;  // 0x0001
  // The hot look travels in the focus flag: the list turns the system's
  // focus flag into kFocusCue before painting, so the two never mix.
  static constexpr UINT kHot = ODS_FOCUS;          // 0x0010
  // The focus cue on the caret entry, beyond the system's flags.
  static constexpr UINT kFocusCue = 0x10000;

  TGraphicListBox() = default;
  ~TGraphicListBox() override;
  struct Args {
    HWND parent = nullptr;
    Box bounds;
    int id = 0;
    HFONT font = nullptr;  // borrowed
  };
  bool Create(const Args& a);

  // Properties, used from the next paint on.
  ui::TColor BorderHighlight = ui::clBtnHighlight;
  ui::TColor BorderShadow = ui::clBtnShadow;
  ui::TColor FocusedColor = ui::clBtnFace;
  ui::TColor SelectedColor = ui::clBtnFace;
  ui::TColor Color = ui::clWindow;
  // The system's colours instead of the ones above (the high-contrast setting).
  bool HighContrast = false;
  // The focus cue shows once the keyboard is used in the window, hidden
  // until then. Where the system keeps the window's UI state (UISF_HIDEFOCUS)
  // that state is the one truth, and showing the cue changes it for the
  // whole window; the list keeps a flag of its own only where it keeps none.
  // HideFocusCueUntilKeys starts that and learns which it is.
  void HideFocusCueUntilKeys();
  void ShowFocusCue(bool on);
  bool FocusCueShown() const;
  // Entry i shows image (*indices)[i], or image i without `indices`; both
  // borrowed, kept alive by the caller while the list shows them.
  void SetGlyphs(const ui::ImageList* list, const std::vector<int>* indices = nullptr);
  // Entry i draws (*figures)[i] right-aligned on its second and third
  // lines, in room for `widest` at least; borrowed as the glyphs are. An
  // entry without figures, or none at all (null), keeps its lines whole.
  void SetFigures(const std::vector<EntryFigures>* figures, std::wstring widest = {});
  // The figures entry i draws; null when it draws none.
  const EntryFigures* FiguresOf(int index) const;
  // Draws entry i again where it shows; nothing else is touched.
  void RedrawEntry(int index);

  // The base list box's own features.
  int ItemHeight() const;
  void SetItemHeight(int h);
  int Count() const;
  int ItemIndex() const;
  void SetItemIndex(int i);
  // Empties the list with its drawing held until the next SetItems or
  // EndHold: drawn empty, it would hide its scroll bar and show it again,
  // and under Wine each change recalculates and erases the list's frame.
  void ClearHeld();
  void EndHold();
  // Entries are UTF-16 on the NT family (the true text; an ANSI reader gets
  // it in the system's code page), code page 932 on the 9x family.
  void AddItem(const std::wstring& text);
  // Replaces every entry at once, the list not redrawn until the end.
  void SetItems(const std::vector<std::wstring>& texts);
  std::wstring ItemText(int i) const;
  void SetListFont(HFONT f);  // borrowed

  std::function<void()> OnClick;  // every selection change by the user
  std::function<void()> OnDblClick;
  // A context menu asked for: a screen point, or -1 from the keyboard.
  std::function<void(LPARAM where)> OnContextMenu;
  // A character as the window takes it (UTF-16 on the NT family, a code
  // page byte on the 9x family); true when it was used (the list's own
  // search then skips it).
  std::function<bool(WPARAM c)> OnChar;

  // The draw-item request path: the focus flag becomes the focus cue where
  // cues show, the surface is set up, then the entry painted. Public so that tests can draw into a bitmap.
  void DrawRequest(HDC dc, int index, RECT rect, UINT state);
  void PaintItem(HDC surface, int index, const RECT& rect, UINT state);
  // The one place where an item's colours and font are chosen.
  ItemColors ChooseColors(UINT state) const;

  bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static constexpr UINT_PTR kHoverTimerId = 1;
  static constexpr UINT kHoverInterval = 100;  // ms between looks at the pointer
  static constexpr int kStillTicks = 5;  // looks that find nothing new before they stop
  static constexpr int kTopUnknown = -2;
  ItemMetrics Measure(HDC surface, int index, const std::wstring& text,
                      const std::vector<std::wstring_view>& lines) const;
  int GlyphOf(int index) const;  // -1 when the entry has none
  void DrawLines(HDC image, const std::vector<std::wstring_view>& lines, const ItemGeometry& g,
                 int lineHeight, const ItemColors& c);
  void DrawFigures(HDC image, const EntryFigures& f, const ItemGeometry& g, int lineHeight,
                   const ItemColors& c);
  void DrawGlyph(HDC image, int glyph, const ItemGeometry& g, COLORREF back);
  void DrawFrame(HDC image, const ItemMetrics& m, const ItemColors& c);
  void FillSolid(HDC dc, const RECT& r, COLORREF color);
  void DrawHotFrame(HDC image, const ItemMetrics& m);
  void FilterDrawRequest(DRAWITEMSTRUCT& d);
  void PointerEntered();  // asks to hear when it leaves
  void PointerLeft();
  void WakeHover();  // the looks again, where the pointer or the entries moved
  void TrackHotItem();
  void PaintHotItem(bool hot);
  void RepaintCaret();  // the caret entry, where the list has the focus
  void SetTimerEnabled(bool on);
  // Straight to the system list box: under Wine each message through the
  // subclass costs requests to the server, too many for whole refills and
  // for every entry drawn.
  LRESULT CallList(UINT msg, WPARAM wp, LPARAM lp) const;

  const ui::ImageList* glyphs_ = nullptr;  // borrowed: the form owns the image lists
  const std::vector<int>* glyphIndices_ = nullptr;  // borrowed, likewise
  const std::vector<EntryFigures>* figures_ = nullptr;  // borrowed, likewise
  std::wstring widestFigure_;
  SolidTools tools_;
  BackBuffer buffer_;  // the item's image
  GlyphCache glyphCache_;
  base::Borrowed<HFONT> font_;             // the form's font
  int hotIndex_ = -1;
  bool timerOn_ = false;
  bool tracking_ = false;  // the system reports the pointer's leaving
  POINT lastPointer_{-1, -1};  // where the last look found the pointer, in screen
  int lastTop_ = kTopUnknown;
  int stillTicks_ = 0;
  int pendingItemHeight_ = 0;
  bool held_ = false;  // drawing off since ClearHeld
  bool systemKeepsState_ = false;
  bool focusCue_ = false;  // only where the system keeps no UI state
};

// TGraphicListBox: a system list box (owner-drawn, fixed height, keeping its
// strings) that draws each entry as a glyph beside lines of text, in a
// normal, a selected (sunken frame) and a hot (raised frame) look. The
// system keeps the entries, selection, scrolling, keys and hit-testing.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "controls/item_geometry.h"
#include "ui/color.h"
#include "ui/control.h"
#include "ui/gdi.h"
#include "ui/image_list.h"

// A font as the list draws with it: a handle and a text colour.
struct TFontRef {
  HFONT handle = nullptr;  // borrowed unless the list made it
  ui::TColor color = ui::clWindowText;
};

class TGraphicListBox : public ui::Control {
 public:
  static constexpr UINT kSelected = ODS_SELECTED;  // 0x0001
  // The hot look travels in the focus flag, as designed: the list drops the
  // system's focus flag before painting, so the two never mix.
  static constexpr UINT kHot = ODS_FOCUS;          // 0x0010

  TGraphicListBox();
  ~TGraphicListBox() override;
  struct Args {
    HWND parent = nullptr;
    Box bounds;
    int id = 0;
    HFONT font = nullptr;  // borrowed
  };
  bool Create(const Args& a);

  // Properties; setters store, and three of them recompute the item height.
  void SetAutoItemHeight(bool v);
  ui::TColor BorderHighlight = ui::clBtnHighlight;
  ui::TColor BorderShadow = ui::clBtnShadow;
  bool Flat = false;
  ui::TColor FocusedColor = ui::clBtnFace;
  ui::TColor SelectedColor = ui::clBtnFace;
  TFontRef FocusedFont;
  TFontRef SelectedFont;
  ui::TColor Color = ui::clWindow;
  // The system's colours instead of the ones above (the high-contrast setting).
  bool HighContrast = false;
  void SetGlyphs(const ui::ImageList* list);
  void SetLayout(TButtonLayout l);

  // The base list box's own features.
  int ItemHeight() const;
  void SetItemHeight(int h);
  int Count() const;
  int ItemIndex() const;
  void SetItemIndex(int i);
  void Clear();
  void AddItem(const std::string& text);
  // Replaces every entry at once, the list not redrawn until the end.
  void SetItems(const std::vector<std::string>& texts);
  std::string ItemText(int i) const;
  void SetListFont(HFONT f);  // borrowed

  std::function<void()> OnClick;  // every selection change by the user
  std::function<void()> OnDblClick;
  // A context menu asked for: a screen point, or -1 from the keyboard.
  std::function<void(LPARAM where)> OnContextMenu;
  // A typed character; true when it was used (the list's own search then skips it).
  std::function<bool(char c)> OnChar;

  // The draw-item request path: the focus flag is dropped, the surface set
  // up, then the entry painted. Public so that tests can draw into a bitmap.
  void DrawRequest(HDC dc, int index, RECT rect, UINT state);
  void PaintItem(HDC surface, int index, const RECT& rect, UINT state);

  bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void UpdateAutoItemHeight();
  void FilterDrawRequest(DRAWITEMSTRUCT& d);
  void PointerEntered();
  void PointerLeft();
  void TrackHotItem();
  void PaintHotItem(bool hot);
  void SetTimerEnabled(bool on);
  // Straight to the system list box: under Wine each message through the
  // subclass costs requests to the server, too many for whole refills.
  LRESULT CallList(UINT msg, WPARAM wp, LPARAM lp) const;

  bool autoItemHeight_ = true;
  const ui::ImageList* glyphs_ = nullptr;  // borrowed: the form owns the image lists
  TButtonLayout layout_ = blGlyphLeft;
  base::Borrowed<HFONT> font_;             // the form's font
  ui::UniqueFont ownFocusedFont_, ownSelectedFont_;  // owned, made at construction
  int hotIndex_ = -1;
  bool timerOn_ = false;
  bool tracking_ = false;  // the system reports the pointer's leaving
  int pendingItemHeight_ = 0;
};

// A push button drawn with a glyph beside its caption. The glyph bitmap holds
// two images side by side: normal and disabled; its bottom-left pixel's
// colour is transparent. In high contrast it draws the glyph's shape in its
// text colour, and a disabled caption in the grey-text colour.
#pragma once
#include <functional>
#include <string>

#include "ui/control.h"
#include "ui/gdi.h"

namespace ui {

class BitmapButton : public Control {
 public:
  struct Args {
    HWND parent = nullptr;
    Box bounds;
    int id = 0;
    const char* caption = "";
    bool tabStop = true;
  };
  bool Create(const Args& a);
  // Loads the two-image glyph from a bitmap resource drawn for 96 DPI,
  // scaled for the button's DPI.
  void SetGlyph(int resourceId);
  // Scales the glyph again for `dpi`.
  void SetGlyphDpi(int dpi);
  std::function<void()> OnClick;

  bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 protected:
  virtual bool LooksDown(const DRAWITEMSTRUCT& d) const { return (d.itemState & ODS_SELECTED) != 0; }
  virtual void Clicked();
  void Draw(const DRAWITEMSTRUCT& d) const;

 private:
  UniqueImageList glyph_;  // owned: image 0 normal, image 1 disabled
  UniqueBitmap shape_;     // owned: image 0's shape, drawn in high contrast
  std::string caption_;    // as made; drawn without asking the window
  int glyphId_ = 0;
};

}  // namespace ui

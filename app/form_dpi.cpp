// The main window drawn for its DPI, and for the system's colours.
#include <initializer_list>

#include "app/unit1.h"
#include "base/contrast.h"
#include "ui/dpi.h"
#include "ui/font.h"

void TForm1::ScaleLayout(int dpi) {
  layout_ = DesignLayout(dpi);
  // The entry's icon is the system's size for this DPI, not a scaled 32.
  const int icon = ui::IconSizeForDpi(dpi);
  layout_.IM_Icon.width = layout_.IM_Icon.height = icon;
}

void TForm1::DpiChanged(int dpi, const RECT& suggested) {
  // Everything made for the new DPI first, its smallest size included, so
  // that the window takes the size offered and the move lays it out once.
  if (dpi > 0 && dpi != layout_.dpi) ApplyDpi(dpi);
  laidOut_ = {};  // placed anew even where the suggested size is the old one
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FormResize();  // where the move sent no WM_SIZE; else nothing left to place
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TForm1::ApplyDpi(int dpi) {
  ScaleLayout(dpi);
  // A font that cannot be made leaves every control with the one it has.
  if (ui::UniqueFont font = ui::CreateFormFont(dpi)) {
    const HFONT f = font.get();
    SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
    SetControlFonts(f);
    for (int i = 0; i < kDetailRowCount; ++i)
      if (kDetailRows[i].labelId) detailLabels_[i].SetFontAndSize(f);
    LL_Priority.SetFontAndSize(f);
    GLB_List.SetListFont(f);
    font_ = std::move(font);  // the old font is deleted once no control uses it
  }

  for (ui::BitmapButton* b : {&BB_Reget, &BB_Update, &BB_Stop, &BB_Close})
    b->SetGlyphDpi(dpi);
  for (ui::SpeedButton* b : {&SB_ProcessID, &SB_FileName}) b->SetGlyphDpi(dpi);
  SendMessageA(TC_Main.hwnd(), TCM_SETITEMSIZE, 0, MAKELPARAM(layout_.TabWidth, layout_.TabHeight));
  SendMessageA(CB_Priority.hwnd(), CB_SETITEMHEIGHT, 0, layout_.PriorityItemHeight);
  GLB_List.SetItemHeight(layout_.ItemHeight);

  MeasureLabels();
  LayoutOnCreate(layout_);
  RescaleImages();
}

void TForm1::RescaleImages() {
  // The images made again at the new size from the icons the entries came
  // with (the resolve cache keeps them): the entries, the selection and the
  // details stay, and nothing is read again.
  ui::UniqueIcon idle = std::move(IdleIcon), system = std::move(SystemIcon);
  LoadOwnIcons();
  lists_.SetIconSize(layout_.IM_Icon.width,
                     {{idle.get(), IdleIcon.get()}, {system.get(), SystemIcon.get()}});
  // A reload under way may still hand out the old icons: they live until
  // its parts are in, each taken as its replacement.
  for (RetiredIcon& r : retiredIcons_)
    r.now = r.now == idle.get() ? IdleIcon.get() : r.now == system.get() ? SystemIcon.get() : r.now;
  if (Reloading()) {
    retiredIcons_.push_back({std::move(idle), IdleIcon.get()});
    retiredIcons_.push_back({std::move(system), SystemIcon.get()});
  }
  const EntryModel* model = lists_.Tab(CurrentTab);
  const size_t i = static_cast<size_t>(SelectedIndex);
  if (!detailsClear_ && model && SelectedIndex >= 0 && i < model->Size())
    IM_Icon.SetIcon(model->IconAt(i).get());
}

void TForm1::FollowSystemLook() {
  // Common controls take the new colours only when told.
  StatusBar1.FollowColours();
  CB_Priority.FollowColours();
  SendMessageA(TC_Main.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  GLB_List.HighContrast = ListNeedsSystemColours();
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool TForm1::ListNeedsSystemColours() const {
  // The scheme's text on the list's own pale selected and hot looks.
  const uint32_t text = ui::ColorToRGB(ui::clWindowText);
  return base::DrawInSystemColours(ui::HighContrastOn(), {{text, ui::ColorToRGB(GLB_List.SelectedColor)},
                                                          {text, ui::ColorToRGB(GLB_List.FocusedColor)}});
}

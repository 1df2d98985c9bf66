// The main window's components: creation, events and placement.
#include "app/control_ids.h"
#include "app/texts.h"
#include "app/unit1.h"
#include "ui/font.h"

namespace {

// Every creation is checked; the first failure ends the form's creation.
class Checked {
 public:
  Checked& operator&=(bool created) {
    ok_ = ok_ && created;
    return *this;
  }
  explicit operator bool() const { return ok_; }

 private:
  bool ok_ = true;
};

}  // namespace

bool TForm1::CreateComponents() {
  if (!CreateListArea() || !CreateDetailsPanel() || !CreateButtonBar()) return false;
  sortGroup_ = {&SB_ProcessID, &SB_FileName};
  SB_ProcessID.JoinGroup(&sortGroup_);
  SB_FileName.JoinGroup(&sortGroup_);
  SetFontsAndGlyphs();
  HookEvents();
  return true;
}

bool TForm1::CreateListArea() {
  const HWND form = hwnd();
  const FormLayout& d = layout_;
  Checked ok;
  ok &= StatusBar1.Create({.parent = form, .id = kIdStatusBar, .text = texts::kStatusNotice});
  if (!ok) return false;
  // The bar takes its height and place at the bottom; the rest stacks above it.
  SendMessageA(StatusBar1.hwnd(), WM_SIZE, 0, 0);
  RECT client;
  GetClientRect(form, &client);
  const int baseTop =
      client.bottom - ui::BoundsInParent(StatusBar1.hwnd()).height - d.PL_BaseHeight;
  const int btnTop = baseTop - d.PL_BtnHeight;
  ok &= TC_Main.Create({.parent = form, .bounds = {0, 0, client.right, btnTop}, .id = kIdTabMain,
                        .tabs = {texts::kTabProcess, texts::kTabApplication},
                        .tabWidth = d.TabWidth, .tabHeight = d.TabHeight});
  const Box listArea = TC_Main.DisplayArea();
  ok &= PL_List.Create({.parent = TC_Main.hwnd(), .bounds = listArea});
  ok &= GLB_List.Create({.parent = PL_List.hwnd(), .bounds = ui::ControlHost::ChildBox(listArea),
                         .id = kIdList, .font = font_.get()});
  PL_List.Hold(&GLB_List);
  ok &= PL_Base.Create({.parent = form, .bounds = {0, baseTop, client.right, d.PL_BaseHeight}});
  ok &= PL_Btn.Create({.parent = form, .bounds = {0, btnTop, client.right, d.PL_BtnHeight},
                       .edge = ui::Panel::Edge::Etched});
  if (!ok) return false;
  PL_Base.SetBevelBox(0, d.BV_Icon);
  GLB_List.SetItemHeight(d.ItemHeight);
  GLB_List.FocusedColor = ui::clMoneyGreen;
  GLB_List.SelectedColor = ui::clSkyBlue;
  GLB_List.BorderHighlight = ui::clBtnHighlight;
  GLB_List.BorderShadow = ui::clGreen;
  return true;
}

bool TForm1::CreateDetailsPanel() {
  const HWND base = PL_Base.hwnd();
  const HFONT f = font_.get();
  const FormLayout& d = layout_;
  Checked ok;
  // Children in Tab order: the dialog manager follows creation order. Each
  // label comes right before its control, which screen readers name after it.
  ok &= BB_Close.Create({.parent = base, .bounds = d.BB_Close, .id = kIdClose, .caption = texts::kClose});
  for (int i = 0; i < kDetailRowCount; ++i) {
    const DetailRow& row = kDetailRows[i];
    if (row.label) {
      const Box& at = d.*row.labelBox;
      ok &= detailLabels_[i].Create({.parent = base, .left = at.left, .top = at.top,
                                     .id = row.labelId, .text = row.label, .font = f,
                                     .size = {at.width, at.height}});
    }
    ok &= detailEdits_[i].Create({.parent = base, .bounds = d.*row.editBox, .id = row.editId,
                                  .kind = row.memo ? ui::Edit::Kind::Memo : ui::Edit::Kind::SingleLine,
                                  .text = row.editText});
  }
  ok &= LL_Priority.Create({.parent = base, .left = d.LL_Priority.left, .top = d.LL_Priority.top,
                            .id = kIdLabelPriority, .text = texts::kLabelPriority, .font = f,
                            .size = {d.LL_Priority.width, d.LL_Priority.height}});
  ok &= CB_Priority.Create({.parent = base, .bounds = d.CB_Priority, .id = kIdPriority,
                            .items = {std::begin(texts::kPriorityItems), std::end(texts::kPriorityItems)},
                            .itemHeight = d.PriorityItemHeight, .dropHeight = d.PriorityDropHeight});
  ok &= BB_Update.Create({.parent = base, .bounds = d.BB_Update, .id = kIdUpdate, .caption = texts::kUpdate});
  ok &= BB_Stop.Create({.parent = base, .bounds = d.BB_Stop, .id = kIdStop, .caption = texts::kStop});
  ok &= ED_idProcess_hex.Create({.parent = base, .bounds = d.ED_idProcess_hex, .id = kIdIdProcessHex,
                                 .text = "ED_idProcess_hex", .visible = false});
  ok &= IM_Icon.Create({.parent = base, .bounds = d.IM_Icon, .id = kIdIcon, .text = texts::kIconName});
  ok &= IM_Link.Create({.parent = base, .bounds = d.IM_Link, .id = kIdLink, .text = texts::kLinkHint});
  return static_cast<bool>(ok);
}

bool TForm1::CreateButtonBar() {
  const HWND bar = PL_Btn.hwnd();
  const FormLayout& d = layout_;
  Checked ok;
  ok &= BB_Reget.Create({.parent = bar, .bounds = d.BB_Reget, .id = kIdReget, .caption = texts::kReget});
  ok &= SB_ProcessID.Create({.parent = bar, .bounds = d.SB_ProcessID, .id = kIdByProcessId,
                             .caption = texts::kByProcessId});
  ok &= SB_FileName.Create({.parent = bar, .bounds = d.SB_FileName, .id = kIdByFileName,
                            .caption = texts::kByImageName});
  return static_cast<bool>(ok);
}

void TForm1::SetControlFonts(HFONT f) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{
           &StatusBar1, &TC_Main, &BB_Close, &CB_Priority, &BB_Update, &BB_Stop, &ED_idProcess_hex,
           &BB_Reget, &SB_ProcessID, &SB_FileName})
    c->SetFont(f);
  for (ui::Edit& e : detailEdits_) e.SetFont(f);
}

void TForm1::SetFontsAndGlyphs() {
  SetControlFonts(font_.get());
  BB_Reget.SetGlyph(kResGlyphReget);
  SB_ProcessID.SetGlyph(kResGlyphByProcessId);
  SB_FileName.SetGlyph(kResGlyphByFileName);
  BB_Update.SetGlyph(kResGlyphUpdate);
  BB_Stop.SetGlyph(kResGlyphStop);
  BB_Close.SetGlyph(kResGlyphClose);
  IM_Link.SetBitmap(kResBanner);
}

void TForm1::HookEvents() {
  TC_Main.OnChange = [this] { TC_MainChange(); };
  GLB_List.OnClick = [this] { GLB_ListClick(); };
  GLB_List.OnDblClick = [this] { SwitchToEntryWindow(); };
  GLB_List.OnContextMenu = [this](LPARAM where) { ShowEntryMenu(where); };
  GLB_List.OnChar = [this](WPARAM c) { return ListTextTyped(c); };
  BB_Reget.OnClick = [this] { BB_RegetClick(); };
  SB_ProcessID.OnClick = [this] { SB_ProcessIDClick(); };
  SB_FileName.OnClick = [this] { SB_FileNameClick(); };
  CB_Priority.OnChange = [this] { CB_PriorityChange(); };
  BB_Update.OnClick = [this] { BB_UpdateClick(); };
  BB_Stop.OnClick = [this] { BB_StopClick(); };
  BB_Close.OnClick = [this] { PostMessageA(hwnd(), WM_CLOSE, 0, 0); };
  IM_Link.OnClick = [this] { IM_LinkClick(); };
}

void TForm1::MeasureLabels() {
  // As each label sizes itself to its text.
  auto measure = [this](const char* text, Box& box) {
    const SIZE size = ui::MeasureText(font_.get(), text);
    box.width = size.cx;
    box.height = size.cy;
  };
  for (const DetailRow& row : kDetailRows)
    if (row.label) measure(row.label, layout_.*row.labelBox);
  measure(texts::kLabelPriority, layout_.LL_Priority);
}

void TForm1::ApplyLayout() {
  const FormLayout& d = layout_;
  RECT client;
  GetClientRect(hwnd(), &client);
  SendMessageA(StatusBar1.hwnd(), WM_SIZE, 0, 0);
  // The bar repaints only what it gained: its panel's old right border would stay.
  InvalidateRect(StatusBar1.hwnd(), nullptr, TRUE);
  const int statusHeight = ui::BoundsInParent(StatusBar1.hwnd()).height;
  const int baseTop = client.bottom - statusHeight - d.PL_BaseHeight;
  const int btnTop = baseTop - d.PL_BtnHeight;
  ui::PlaceWindow(PL_Base.hwnd(), {0, baseTop, client.right, d.PL_BaseHeight});
  ui::PlaceWindow(PL_Btn.hwnd(), {0, btnTop, client.right, d.PL_BtnHeight});
  TC_Main.SetBounds({0, 0, client.right, btnTop});
  PL_List.SetBounds(TC_Main.DisplayArea());

  PL_Base.SetBevelBox(0, d.BV_Icon);
  for (int i = 0; i < kDetailRowCount; ++i) {
    const DetailRow& row = kDetailRows[i];
    if (row.label) ui::PlaceWindow(detailLabels_[i].hwnd(), d.*row.labelBox);
    ui::PlaceWindow(detailEdits_[i].hwnd(), d.*row.editBox);
  }
  const std::pair<HWND, const Box&> placed[] = {
      {IM_Icon.hwnd(), d.IM_Icon},           {LL_Priority.hwnd(), d.LL_Priority},
      {BB_Update.hwnd(), d.BB_Update},       {BB_Stop.hwnd(), d.BB_Stop},
      {IM_Link.hwnd(), d.IM_Link},           {BB_Close.hwnd(), d.BB_Close},
      {BB_Reget.hwnd(), d.BB_Reget},         {SB_ProcessID.hwnd(), d.SB_ProcessID},
      {SB_FileName.hwnd(), d.SB_FileName}};
  for (const auto& [window, box] : placed) ui::PlaceWindow(window, box);
  CB_Priority.SetClosedBounds(d.CB_Priority, d.PriorityDropHeight);
}

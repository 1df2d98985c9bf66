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
  const HWND form = hwnd();
  const HFONT f = font_.get();
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
                        .tabWidth = 180, .tabHeight = 22});
  GLB_List.SetAutoItemHeight(false);
  ok &= GLB_List.Create({.parent = TC_Main.hwnd(), .bounds = TC_Main.DisplayArea(), .id = kIdList,
                         .font = f});
  ok &= PL_Base.Create({.parent = form, .bounds = {0, baseTop, client.right, d.PL_BaseHeight}});
  ok &= PL_Btn.Create({.parent = form, .bounds = {0, btnTop, client.right, d.PL_BtnHeight},
                       .edge = ui::Panel::Edge::Etched});
  if (!ok) return false;
  PL_Base.SetBevelBox(0, d.BV_Icon);
  GLB_List.SetItemHeight(46);
  GLB_List.Flat = false;
  GLB_List.SetLayout(blGlyphLeft);
  GLB_List.FocusedColor = ui::clMoneyGreen;
  GLB_List.SelectedColor = ui::clSkyBlue;
  GLB_List.BorderHighlight = ui::clBtnHighlight;
  GLB_List.BorderShadow = ui::clGreen;
  GLB_List.FocusedFont = {f, ui::clWindowText};
  GLB_List.SelectedFont = {f, ui::clWindowText};

  const HWND base = PL_Base.hwnd();
  using Kind = ui::Edit::Kind;
  // Children in tab order: the dialog manager follows creation order.
  ok &= BB_Close.Create({.parent = base, .bounds = d.BB_Close, .id = kIdClose, .caption = texts::kClose});
  const struct {
    ui::Edit* edit;
    const Box& box;
    int id;
    Kind kind;
    const char* text;
  } edits[] = {
      {&ED_idProcess, d.ED_idProcess, kIdIdProcess, Kind::SingleLine, "ED_idProcess"},
      {&ED_DisplayName, d.ED_DisplayName, kIdDisplayName, Kind::SingleLine, "ED_DisplayName"},
      {&ED_Company, d.ED_Company, kIdCompany, Kind::SingleLine, "ED_Company"},
      {&ED_Description, d.ED_Description, kIdDescription, Kind::SingleLine, "ED_Description"},
      {&ED_FileName, d.ED_FileName, kIdFileName, Kind::SingleLine, "ED_FileName"},
      {&MM_Description, d.MM_Description, kIdMemo, Kind::Memo, "MM_Description"},
  };
  for (const auto& e : edits)
    ok &= e.edit->Create({.parent = base, .bounds = e.box, .id = e.id, .kind = e.kind, .text = e.text});
  ok &= CB_Priority.Create({.parent = base, .bounds = d.CB_Priority, .id = kIdPriority,
                            .items = {std::begin(texts::kPriorityItems), std::end(texts::kPriorityItems)},
                            .itemHeight = 12});
  ok &= BB_Update.Create({.parent = base, .bounds = d.BB_Update, .id = kIdUpdate, .caption = texts::kUpdate});
  ok &= BB_Stop.Create({.parent = base, .bounds = d.BB_Stop, .id = kIdStop, .caption = texts::kStop});
  ok &= ED_idProcess_hex.Create({.parent = base, .bounds = d.ED_idProcess_hex, .id = kIdIdProcessHex,
                                 .text = "ED_idProcess_hex", .visible = false});
  ok &= IM_Icon.Create({.parent = base, .bounds = d.IM_Icon, .id = kIdIcon});
  ok &= IM_Link.Create({.parent = base, .bounds = d.IM_Link, .id = kIdLink});
  const struct {
    ui::Label* label;
    const Box& box;
    int id;
    const char* text;
  } labels[] = {
      {&LL_idProcess, d.LL_idProcess, kIdLabelIdProcess, texts::kLabelProcessId},
      {&LL_Priority, d.LL_Priority, kIdLabelPriority, texts::kLabelPriority},
      {&LL_DisplayName, d.LL_DisplayName, kIdLabelDisplayName, texts::kLabelDisplayName},
      {&LL_Company, d.LL_Company, kIdLabelCompany, texts::kLabelCompany},
      {&LL_Description, d.LL_Description, kIdLabelDescription, texts::kLabelDescription},
      {&LL_FileName, d.LL_FileName, kIdLabelFileName, texts::kLabelFileName},
  };
  for (const auto& l : labels)
    ok &= l.label->Create({.parent = base, .left = l.box.left, .top = l.box.top, .id = l.id,
                           .text = l.text, .font = f});

  const HWND bar = PL_Btn.hwnd();
  ok &= BB_Reget.Create({.parent = bar, .bounds = d.BB_Reget, .id = kIdReget, .caption = texts::kReget});
  ok &= SB_ProcessID.Create({.parent = bar, .bounds = d.SB_ProcessID, .id = kIdByProcessId,
                             .caption = texts::kByProcessId});
  ok &= SB_FileName.Create({.parent = bar, .bounds = d.SB_FileName, .id = kIdByFileName,
                            .caption = texts::kByImageName});
  if (!ok) return false;
  sortGroup_ = {&SB_ProcessID, &SB_FileName};
  SB_ProcessID.JoinGroup(&sortGroup_);
  SB_FileName.JoinGroup(&sortGroup_);

  for (ui::Control* c : std::initializer_list<ui::Control*>{
           &StatusBar1, &TC_Main, &BB_Close, &ED_idProcess, &ED_DisplayName, &ED_Company,
           &ED_Description, &ED_FileName, &MM_Description, &CB_Priority, &BB_Update, &BB_Stop,
           &ED_idProcess_hex, &BB_Reget, &SB_ProcessID, &SB_FileName})
    c->SetFont(f);

  BB_Reget.SetGlyph(kResGlyphReget);
  SB_ProcessID.SetGlyph(kResGlyphByProcessId);
  SB_FileName.SetGlyph(kResGlyphByFileName);
  BB_Update.SetGlyph(kResGlyphUpdate);
  BB_Stop.SetGlyph(kResGlyphStop);
  BB_Close.SetGlyph(kResGlyphClose);
  IM_Link.SetBitmap(kResBanner);
  HookEvents();
  return true;
}

void TForm1::HookEvents() {
  TC_Main.OnChange = [this] { TC_MainChange(); };
  GLB_List.OnClick = [this] { GLB_ListClick(); };
  GLB_List.OnDblClick = [this] { SwitchToEntryWindow(); };
  GLB_List.OnContextMenu = [this](LPARAM where) { ShowEntryMenu(where); };
  GLB_List.OnChar = [this](char c) { return ListCharTyped(c); };
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
  const std::pair<const char*, Box*> labels[] = {
      {texts::kLabelProcessId, &layout_.LL_idProcess},
      {texts::kLabelPriority, &layout_.LL_Priority},
      {texts::kLabelDisplayName, &layout_.LL_DisplayName},
      {texts::kLabelCompany, &layout_.LL_Company},
      {texts::kLabelDescription, &layout_.LL_Description},
      {texts::kLabelFileName, &layout_.LL_FileName}};
  for (const auto& [text, box] : labels) {
    const SIZE size = ui::MeasureText(font_.get(), text);
    box->width = size.cx;
    box->height = size.cy;
  }
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
  GLB_List.SetBounds(TC_Main.DisplayArea());

  PL_Base.SetBevelBox(0, d.BV_Icon);
  const std::pair<HWND, const Box&> placed[] = {
      {IM_Icon.hwnd(), d.IM_Icon},
      {LL_idProcess.hwnd(), d.LL_idProcess},     {ED_idProcess.hwnd(), d.ED_idProcess},
      {LL_Priority.hwnd(), d.LL_Priority},
      {LL_DisplayName.hwnd(), d.LL_DisplayName}, {ED_DisplayName.hwnd(), d.ED_DisplayName},
      {LL_Company.hwnd(), d.LL_Company},         {ED_Company.hwnd(), d.ED_Company},
      {LL_Description.hwnd(), d.LL_Description}, {ED_Description.hwnd(), d.ED_Description},
      {LL_FileName.hwnd(), d.LL_FileName},       {ED_FileName.hwnd(), d.ED_FileName},
      {MM_Description.hwnd(), d.MM_Description}, {BB_Update.hwnd(), d.BB_Update},
      {BB_Stop.hwnd(), d.BB_Stop},               {IM_Link.hwnd(), d.IM_Link},
      {BB_Close.hwnd(), d.BB_Close},             {BB_Reget.hwnd(), d.BB_Reget},
      {SB_ProcessID.hwnd(), d.SB_ProcessID},     {SB_FileName.hwnd(), d.SB_FileName}};
  for (const auto& [window, box] : placed) ui::PlaceWindow(window, box);
  CB_Priority.SetClosedBounds(d.CB_Priority);
}

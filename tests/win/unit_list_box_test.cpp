// The icon list drawn into a bitmap, pixels read back.
#include <gtest/gtest.h>

#include "controls/graphic_list_box.h"
#include "harness.h"
#include "ui/font.h"
#include "ui/gdi.h"
#include "ui/speed_button.h"
#include "ui/tab_control.h"
#include "ui/window.h"

#include <algorithm>
#include <functional>
#include <cmath>
#include <memory>
#include <utility>

namespace {

// What `paint` draws into a fresh w x h bitmap like the screen's, row by row.
std::vector<COLORREF> Drawn(int w, int h, const std::function<void(HDC)>& paint) {
  ui::ClientDC screen(nullptr);
  ui::UniqueMemDC dc(CreateCompatibleDC(screen.get()));
  ui::UniqueBitmap bmp(CreateCompatibleBitmap(screen.get(), w, h));
  {
    ui::Selected sel(dc.get(), bmp.get());
    paint(dc.get());
  }
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> raw(static_cast<size_t>(w) * static_cast<size_t>(h));
  GetDIBits(dc.get(), bmp.get(), 0, static_cast<UINT>(h), raw.data(), &bi, DIB_RGB_COLORS);
  std::vector<COLORREF> px;
  for (DWORD v : raw) px.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
  return px;
}

// A parent as the main window is one: it passes notifications back to its
// children's wrappers, and records each notification it received.
class RecordingParent : public ui::Window {
 public:
  bool Create() {
    RegisterClassOnce("VorlaneRecordingParent", nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return CreateWin(0, "VorlaneRecordingParent", "host", WS_POPUP | WS_VISIBLE, 0, 0, 640, 300,
                     nullptr, 0);
  }
  using Notices = std::vector<std::pair<int, int>>;  // control identifier, notification code
  Notices notices;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_COMMAND) notices.emplace_back(LOWORD(wp), HIWORD(wp));
    if (msg == WM_NOTIFY) {
      const auto* n = reinterpret_cast<const NMHDR*>(lp);
      notices.emplace_back(static_cast<int>(n->idFrom), static_cast<int>(n->code));
    }
    return Window::HandleMessage(msg, wp, lp);
  }
};

// A host window with a list laid out as the main window has it.
class ListFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    font_ = ui::CreateFormFont();
    ASSERT_TRUE(host_.Create());
    ASSERT_TRUE(list_.Create({.parent = host_.hwnd(), .bounds = {0, 0, 600, 200}, .id = 1, .font = font_.get()}));
    list_.SetAutoItemHeight(false);
    list_.SetItemHeight(46);
    list_.SelectedColor = ui::clSkyBlue;
    list_.FocusedColor = ui::clMoneyGreen;
    list_.BorderShadow = ui::clGreen;
    list_.SelectedFont = {font_.get(), ui::clWindowText};
    list_.FocusedFont = {font_.get(), ui::clWindowText};
    ui::UniqueIcon icon(LoadIconA(nullptr, IDI_WARNING) ? CopyIcon(LoadIconA(nullptr, IDI_WARNING)) : nullptr);
    images_.Add(icon.get());
    list_.SetGlyphs(&images_);
    list_.AddItem("Line one\r\nLine two\r\nLine three");
    list_.AddItem("No image here");
    RECT c;
    GetClientRect(list_.hwnd(), &c);
    cw_ = c.right;
  }

  // Draws entry `index` into a fresh bitmap and returns its pixels: as the
  // system's draw request asks for it, or as the hover painting does.
  std::vector<COLORREF> Render(int index, UINT state, bool request) {
    return Drawn(cw_, 46, [&](HDC dc) {
      if (request)
        list_.DrawRequest(dc, index, {0, 0, cw_, 46}, state);
      else
        list_.PaintItem(dc, index, {0, 0, cw_, 46}, state);
    });
  }
  // Hot never comes with a draw request: the hover painting asks for it.
  std::vector<COLORREF> Draw(int index, UINT state) {
    return Render(index, state, (state & TGraphicListBox::kHot) == 0);
  }
  COLORREF At(const std::vector<COLORREF>& px, int x, int y) const { return px[y * cw_ + x]; }

  ui::UniqueFont font_;
  RecordingParent host_;
  TGraphicListBox list_;
  ui::ImageList images_{32, 32};
  int cw_ = 0;
};

const COLORREF kSky = RGB(166, 202, 240), kMoney = RGB(192, 220, 192), kGreen = RGB(0, 128, 0);

}  // namespace

TEST_F(ListFixture, SelectedEntryIsSkyBlueWithSunkenFrame) {
  auto px = Draw(0, TGraphicListBox::kSelected);
  const COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(At(px, 0, 20), kGreen);        // left edge: shadow
  EXPECT_EQ(At(px, 100, 0), kGreen);       // top edge: shadow
  EXPECT_EQ(At(px, 100, 45), hi);          // bottom edge: highlight
  EXPECT_EQ(At(px, cw_ - 1, 20), hi);      // right edge: highlight
  EXPECT_EQ(At(px, cw_ - 1, 0), kSky);     // neither polyline paints this corner
  EXPECT_EQ(At(px, cw_ - 10, 20), kSky);   // background
}

TEST_F(ListFixture, HotEntryIsMoneyGreenWithRaisedFrameAndWinsOverSelected) {
  auto hot = Draw(0, TGraphicListBox::kHot);
  const COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(At(hot, 0, 20), hi);
  EXPECT_EQ(At(hot, 100, 45), kGreen);
  EXPECT_EQ(At(hot, cw_ - 10, 20), kMoney);
  EXPECT_EQ(Draw(0, TGraphicListBox::kHot | TGraphicListBox::kSelected), hot);
}

namespace {
// The colour of the text band (x 36 on) farthest in contrast from `back`.
COLORREF TextColour(const std::vector<COLORREF>& px, int cw, COLORREF back) {
  COLORREF best = back;
  for (int y = 4; y < 42; ++y)
    for (int x = 36; x < std::min(cw - 4, 200); ++x)
      if (harness::Contrast(px[y * cw + x], back) > harness::Contrast(best, back)) best = px[y * cw + x];
  return best;
}
}  // namespace

TEST_F(ListFixture, HighContrastDrawsInTheSystemsColoursAndFramesTheHotEntry) {
  list_.HighContrast = true;
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), window = GetSysColor(COLOR_WINDOW);
  const COLORREF hotlight = GetSysColor(COLOR_HOTLIGHT);
  auto selected = Draw(0, TGraphicListBox::kSelected);
  EXPECT_EQ(At(selected, cw_ - 10, 20), highlight);
  EXPECT_EQ(At(selected, 0, 20), highlight);  // no sunken frame in fixed colours
  EXPECT_EQ(TextColour(selected, cw_, highlight), GetSysColor(COLOR_HIGHLIGHTTEXT));

  auto hot = Draw(0, TGraphicListBox::kHot);
  EXPECT_EQ(At(hot, cw_ - 10, 20), window);
  EXPECT_EQ(TextColour(hot, cw_, window), GetSysColor(COLOR_WINDOWTEXT));
  for (auto [x, y] : {std::pair{0, 20}, {1, 20}, {100, 0}, {100, 45}, {cw_ - 1, 20}})
    EXPECT_EQ(At(hot, x, y), hotlight) << x << "," << y;
  auto both = Draw(0, TGraphicListBox::kHot | TGraphicListBox::kSelected);
  EXPECT_EQ(At(both, cw_ - 10, 20), highlight);
  EXPECT_EQ(At(both, 100, 0), hotlight);
  auto plain = Draw(0, 0);
  list_.HighContrast = false;
  EXPECT_EQ(plain, Draw(0, 0));  // the plain look is the same
}

TEST_F(ListFixture, SystemFocusFlagShowsOnlyWhereCuesShowAndStateBitsBeyondAreIgnored) {
  auto plain = Draw(0, 0);
  EXPECT_EQ(Render(0, ODS_FOCUS, true), plain);  // cues hidden until the keyboard is used
  list_.ShowFocusCue(true);
  EXPECT_NE(Render(0, ODS_FOCUS, true), plain);
  EXPECT_EQ(Render(0, ODS_FOCUS | ODS_NOFOCUSRECT, true), plain);
  EXPECT_EQ(Draw(0, ODS_DISABLED | ODS_GRAYED), plain);
  EXPECT_EQ(At(plain, 100, 0), GetSysColor(COLOR_WINDOW));
}

TEST_F(ListFixture, GlyphAndLinesWhereTheyBelong) {
  auto px = Draw(0, TGraphicListBox::kSelected);
  // The glyph covers x 2..33, y 7..38: something other than the background
  // is drawn there, and nothing left of it or right of it before the text.
  int inGlyph = 0;
  for (int y = 7; y <= 38; ++y)
    for (int x = 2; x <= 33; ++x) inGlyph += At(px, x, y) != kSky;
  EXPECT_GT(inGlyph, 100);
  for (int y = 1; y < 45; ++y) {
    EXPECT_EQ(At(px, 1, y), kSky);
    EXPECT_EQ(At(px, 34, y), kSky);
  }
  // Text starts at x 36; three lines in bands from y 5, each line-height tall.
  int textLeft = cw_;
  for (int y = 5; y < 41; ++y)
    for (int x = 34; x < 200; ++x)
      if (At(px, x, y) != kSky) textLeft = std::min(textLeft, x);
  EXPECT_GE(textLeft, 36);
  EXPECT_LE(textLeft, 38);
}

// Image i as the image list itself blends it onto `back`: the glyph's 32 x 32 pixels.
std::vector<COLORREF> Blended(const ui::ImageList& images, int i, COLORREF back) {
  return Drawn(32, 32, [&](HDC dc) {
    ui::UniqueBrush brush(CreateSolidBrush(back));
    const RECT r{0, 0, 32, 32};
    FillRect(dc, &r, brush.get());
    ImageList_DrawEx(images.get(), i, dc, 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
  });
}

TEST_F(ListFixture, GlyphsAreTheirImagesBlendedOnEachLookAndFollowChangedImages) {
  const auto glyphOf = [&](const std::vector<COLORREF>& px) {
    std::vector<COLORREF> g;
    for (int y = 7; y <= 38; ++y)
      for (int x = 2; x <= 33; ++x) g.push_back(At(px, x, y));
    return g;
  };
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  // Each look twice over: drawn again, a glyph is what was drawn first.
  for (int round = 0; round < 2; ++round)
    for (auto [state, back] : {std::pair{0u, window}, std::pair{TGraphicListBox::kSelected, kSky},
                               std::pair{TGraphicListBox::kHot, kMoney}})
      EXPECT_EQ(glyphOf(Draw(0, state)), Blended(images_, 0, back)) << state << " " << round;
  // Images changed under the list show at its next paint.
  const auto warning = glyphOf(Draw(0, TGraphicListBox::kSelected));
  ui::UniqueIcon error(CopyIcon(LoadIconA(nullptr, IDI_ERROR)));
  images_.Clear();
  images_.Add(error.get());
  const auto now = glyphOf(Draw(0, TGraphicListBox::kSelected));
  EXPECT_EQ(now, Blended(images_, 0, kSky));
  EXPECT_NE(now, warning);
}

TEST_F(ListFixture, EntryWithoutImageKeepsTheGlyphRoomEmpty) {
  auto px = Draw(1, TGraphicListBox::kSelected);
  for (int y = 1; y < 45; ++y)
    for (int x = 1; x <= 34; ++x) ASSERT_EQ(At(px, x, y), kSky) << x << "," << y;
}

TEST_F(ListFixture, RepaintsMatchAfterOtherEntriesAndFollowColourChanges) {
  // What one entry painted leaves behind never shows in the next one.
  const auto plain = Draw(1, TGraphicListBox::kSelected);
  list_.AddItem(std::string(300, 'W') + "\r\n2\r\n3\r\n4\r\n5");  // wider and taller
  Draw(2, TGraphicListBox::kHot);
  Draw(0, TGraphicListBox::kSelected);
  EXPECT_EQ(Draw(1, TGraphicListBox::kSelected), plain);
  // New colours are used from the next paint on.
  list_.SelectedColor = RGB(255, 255, 0);
  list_.BorderShadow = RGB(255, 0, 0);
  auto px = Draw(1, TGraphicListBox::kSelected);
  EXPECT_EQ(At(px, cw_ - 10, 20), RGB(255, 255, 0));
  EXPECT_EQ(At(px, 0, 20), RGB(255, 0, 0));
  EXPECT_EQ(At(px, 100, 0), RGB(255, 0, 0));
}

TEST_F(ListFixture, FlatModeUsesHighlightColoursAndNoHotLook) {
  list_.Flat = true;
  auto selected = Draw(0, TGraphicListBox::kSelected);
  EXPECT_EQ(At(selected, cw_ - 10, 20), GetSysColor(COLOR_HIGHLIGHT));
  auto hot = Draw(0, TGraphicListBox::kHot);
  EXPECT_EQ(hot, Draw(0, 0));
}

TEST_F(ListFixture, RightLayoutPushesAWideLineGlyphOutOfSight) {
  list_.SetLayout(blGlyphRight);
  list_.AddItem(std::string(400, 'W'));  // entry 2 has no image either: use entry 0's text
  SendMessageA(list_.hwnd(), LB_DELETESTRING, 0, 0);
  SendMessageA(list_.hwnd(), LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(std::string(400, 'W').c_str()));
  auto px = Draw(0, 0);
  const COLORREF back = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
  for (int y = 7; y <= 38; ++y)
    for (int x = cw_ - 34; x < cw_ - 2; ++x) {
      COLORREF c = At(px, x, y);
      ASSERT_TRUE(c == back || c == text) << x << "," << y;
    }
}

// Each notification the system sends the parent reaches the wrapper's
// handler once, and the wrapper sends none of its own: the exact sequences.
TEST_F(ListFixture, KeysClicksAndDoubleClicksReachTheHandlersOnce) {
  std::string events;
  list_.OnClick = [&] { events += "click "; };
  list_.OnDblClick = [&] { events += "dblclick "; };
  SetForegroundWindow(host_.hwnd());
  SetFocus(list_.hwnd());
  list_.SetItemIndex(0);  // the program's own change: no notice
  EXPECT_EQ(events, "");
  host_.notices.clear();
  SendMessageA(list_.hwnd(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(list_.ItemIndex(), 1);
  EXPECT_EQ(host_.notices, (RecordingParent::Notices{{1, LBN_SELCHANGE}}));
  EXPECT_EQ(events, "click ");

  events.clear();
  host_.notices.clear();
  const LPARAM first = MAKELPARAM(100, 10);
  for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    SendMessageA(list_.hwnd(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, first);
  EXPECT_EQ(list_.ItemIndex(), 0);
  EXPECT_EQ(host_.notices, (RecordingParent::Notices{{1, LBN_SELCHANGE}, {1, LBN_DBLCLK}}));
  EXPECT_EQ(events, "click dblclick ");
}

TEST_F(ListFixture, TabChangeAndSpeedButtonClickReachTheHandlersOnce) {
  std::string events;
  ui::TabControl tabs;
  ASSERT_TRUE(tabs.Create({.parent = host_.hwnd(), .bounds = {0, 210, 300, 40}, .id = 2,
                           .tabs = {"one", "two"}, .tabWidth = 100, .tabHeight = 22}));
  tabs.OnChange = [&] { events += "change "; };
  ui::SpeedButton button;
  ASSERT_TRUE(button.Create({.parent = host_.hwnd(), .bounds = {310, 210, 120, 25}, .id = 3,
                             .caption = "speed"}));
  button.OnClick = [&] { events += "click "; };
  host_.notices.clear();
  SendMessageA(tabs.hwnd(), TCM_SETCURFOCUS, 1, 0);
  EXPECT_EQ(tabs.TabIndex(), 1);
  tabs.SetTabIndex(0);  // the program's own change: no notice
  const LPARAM inside = MAKELPARAM(10, 10);
  SendMessageA(button.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, inside);
  SendMessageA(button.hwnd(), WM_LBUTTONUP, 0, inside);
  // Released outside: no click.
  SendMessageA(button.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, inside);
  SendMessageA(button.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(200, 10));
  EXPECT_EQ(host_.notices, (RecordingParent::Notices{
                               {2, TCN_SELCHANGING}, {2, TCN_SELCHANGE}, {3, BN_CLICKED}}));
  EXPECT_EQ(events, "change click ");
}

TEST(ListHeight, AutoItemHeightFollowsGlyphsAndLayout) {
  ui::UniqueFont font = ui::CreateFormFont();
  ui::UniqueWindow host(CreateWindowExA(0, "STATIC", "h", WS_POPUP, 0, 0, 100, 100, nullptr,
                                        nullptr, nullptr, nullptr));
  TGraphicListBox list;
  ASSERT_TRUE(list.Create({.parent = host.get(), .bounds = {0, 0, 100, 100}, .id = 1, .font = font.get()}));
  EXPECT_EQ(list.ItemHeight(), 12);
  ui::ImageList images(32, 32);
  list.SetGlyphs(&images);
  EXPECT_EQ(list.ItemHeight(), 34);
  list.SetLayout(blGlyphTop);
  EXPECT_EQ(list.ItemHeight(), 46);
  list.SetAutoItemHeight(false);
  list.SetLayout(blGlyphLeft);
  EXPECT_EQ(list.ItemHeight(), 46);  // no longer derived
}

TEST_F(ListFixture, TopAndBottomLayoutsStackGlyphAndText) {
  ui::UniqueIcon icon(CopyIcon(LoadIconA(nullptr, IDI_ERROR)));
  images_.Add(icon.get());  // entry 1 ("No image here", one line) now has a glyph
  auto differs = [&](const std::vector<COLORREF>& px, int y0, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = cw_ / 2 - 16; x < cw_ / 2 + 16; ++x) n += At(px, x, y) != kSky;
    return n;
  };
  list_.SetLayout(blGlyphTop);
  list_.SetAutoItemHeight(false);
  list_.SetItemHeight(46);
  auto top = Draw(1, TGraphicListBox::kSelected);
  EXPECT_GT(differs(top, 1, 32), 50);  // glyph rows 1..32, centred
  EXPECT_GT(differs(top, 34, 44), 0);  // the text line below it, from y 34
  list_.SetLayout(blGlyphBottom);
  list_.SetItemHeight(46);
  auto bottom = Draw(1, TGraphicListBox::kSelected);
  EXPECT_GT(differs(bottom, 0, 11), 0);    // text first
  EXPECT_GT(differs(bottom, 14, 44), 50);  // glyph from y 14
  for (int x = 1; x < cw_ - 1; ++x) EXPECT_EQ(At(bottom, x, 13), kSky) << x;  // cleared row
}

namespace {
LRESULT CALLBACK CountingSubclass(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR seen) {
  ++*reinterpret_cast<int*>(seen);
  return DefSubclassProc(w, msg, wp, lp);
}
}  // namespace

// A window is taken for a wrapped control only while its wrapper lives; a
// wrapper that goes first leaves its window working, whether or not another
// subclass (as a tooltip puts on its tool) sits on top of its own.
TEST_F(ListFixture, WrapperGoneBeforeItsWindowLeavesTheControlWorking) {
  EXPECT_EQ(ui::Control::FromHandle(list_.hwnd()), &list_);
  EXPECT_EQ(ui::Control::FromHandle(host_.hwnd()), nullptr);  // its user data names a window object
  auto make = [&](int id) {
    auto list = std::make_unique<TGraphicListBox>();
    EXPECT_TRUE(list->Create({.parent = host_.hwnd(), .bounds = {0, 0, 100, 100}, .id = id, .font = font_.get()}));
    SendMessageW(list->hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"entry"));
    return list;
  };
  auto alone = make(5);
  const HWND plain = alone->hwnd();
  alone.reset();
  EXPECT_EQ(GetWindowLongPtrW(plain, GWLP_WNDPROC), GetClassLongPtrW(plain, GCLP_WNDPROC));
  EXPECT_EQ(ui::Control::FromHandle(plain), nullptr);
  EXPECT_EQ(SendMessageW(plain, LB_GETCOUNT, 0, 0), 1);

  auto covered = make(6);
  const HWND under = covered->hwnd();
  int seen = 0;
  ASSERT_TRUE(SetWindowSubclass(under, CountingSubclass, 1, reinterpret_cast<DWORD_PTR>(&seen)));
  covered.reset();
  EXPECT_EQ(ui::Control::FromHandle(under), nullptr);
  EXPECT_EQ(SendMessageW(under, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"more")), 1);
  EXPECT_EQ(SendMessageW(under, LB_GETCOUNT, 0, 0), 2);
  EXPECT_GE(seen, 2);  // the subclass on top still sees them
  EXPECT_TRUE(DestroyWindow(under));
  EXPECT_TRUE(DestroyWindow(plain));
}

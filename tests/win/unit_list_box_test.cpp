// The icon list drawn into a bitmap, pixels read back.
#include <gtest/gtest.h>

#include "app/entry_text.h"
#include "base/shown_text.h"
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
    list_.SetItemHeight(46);
    list_.SelectedColor = ui::clSkyBlue;
    list_.FocusedColor = ui::clMoneyGreen;
    list_.BorderShadow = ui::clGreen;
    ui::UniqueIcon icon(LoadIconA(nullptr, IDI_WARNING) ? CopyIcon(LoadIconA(nullptr, IDI_WARNING)) : nullptr);
    images_.Add(icon.get());
    list_.SetGlyphs(&images_);
    list_.AddItem(L"Line one\r\nLine two\r\nLine three");
    list_.AddItem(L"No image here");
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
  // "" when two pictures of an entry match, else where they first differ.
  std::string Mismatch(const std::vector<COLORREF>& got, const std::vector<COLORREF>& want) const {
    for (size_t i = 0; i < want.size(); ++i)
      if (got.at(i) != want[i])
        return "at " + std::to_string(i % cw_) + "," + std::to_string(i / cw_) + ": " +
               std::to_string(got[i]) + " instead of " + std::to_string(want[i]);
    return "";
  }
  // How entry `index` should look, drawn here with plain GDI from the
  // design's figures: the background, image `index` (if any) at 2, 7, the
  // lines from x 36 centred in the 46 rows, then the frame: sunken or raised
  // (one pixel, its corner at the top right left out) or the hot-track one.
  struct Look {
    COLORREF back, text = GetSysColor(COLOR_WINDOWTEXT);
    COLORREF topLeft = CLR_NONE, bottomRight = CLR_NONE, hotFrame = CLR_NONE;
  };
  std::vector<COLORREF> Expected(int index, const Look& look) {
    return Drawn(cw_, 46, [&](HDC dc) {
      const auto fill = [&](RECT r, COLORREF c) {
        ui::UniqueBrush b(CreateSolidBrush(c));
        FillRect(dc, &r, b.get());
      };
      fill({0, 0, cw_, 46}, look.back);
      if (index < images_.Count())
        ImageList_DrawEx(images_.get(), index, dc, 2, 7, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
      ui::Selected font(dc, font_.get());
      SetBkColor(dc, look.back);
      SetTextColor(dc, look.text);
      TEXTMETRICA tm;
      GetTextMetricsA(dc, &tm);
      const std::vector<std::string> lines =
          index == 0 ? std::vector<std::string>{"Line one", "Line two", "Line three"}
                     : std::vector<std::string>{"No image here"};
      const int top = (46 - tm.tmHeight * static_cast<int>(lines.size())) / 2;
      for (size_t i = 0; i < lines.size(); ++i)
        TextOutA(dc, 36, top + tm.tmHeight * static_cast<int>(i), lines[i].c_str(),
                 static_cast<int>(lines[i].size()));
      if (look.topLeft != CLR_NONE) {
        for (RECT r : {RECT{0, 0, 1, 45}, RECT{0, 0, cw_ - 1, 1}}) fill(r, look.topLeft);
        for (RECT r : {RECT{0, 45, cw_ - 1, 46}, RECT{cw_ - 1, 1, cw_, 46}}) fill(r, look.bottomRight);
      }
      if (look.hotFrame != CLR_NONE)
        for (RECT r : {RECT{0, 0, cw_, 2}, RECT{0, 44, cw_, 46}, RECT{0, 0, 2, 46}, RECT{cw_ - 2, 0, cw_, 46}})
          fill(r, look.hotFrame);
    });
  }

  ui::UniqueFont font_;
  RecordingParent host_;
  TGraphicListBox list_;
  ui::ImageList images_{32, 32};
  int cw_ = 0;
};

const COLORREF kSky = RGB(166, 202, 240), kMoney = RGB(192, 220, 192), kGreen = RGB(0, 128, 0);

}  // namespace

// Every look of both entries, as the list paints it (through the draw
// request or the hover painting), against the picture drawn by the test.
TEST_F(ListFixture, EachLookIsTheDesignDrawnWithPlainGdi) {
  using L = TGraphicListBox;
  const COLORREF window = GetSysColor(COLOR_WINDOW), hi = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), highText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  const COLORREF hot = GetSysColor(COLOR_HOTLIGHT);
  const Look plain{.back = window}, sunken{.back = kSky, .topLeft = kGreen, .bottomRight = hi},
      raised{.back = kMoney, .topLeft = hi, .bottomRight = kGreen},
      hcSelected{.back = highlight, .text = highText}, hcHot{.back = window, .hotFrame = hot},
      hcBoth{.back = highlight, .text = highText, .hotFrame = hot};
  struct Case {
    bool highContrast;
    UINT state;
    Look look;
  };
  const Case cases[] = {
      {false, 0, plain}, {false, L::kSelected, sunken}, {false, L::kHot, raised},
      {false, L::kHot | L::kSelected, raised},  // hot wins over selected
      {false, ODS_DISABLED | ODS_GRAYED, plain},  // state bits beyond are ignored
      {true, 0, plain}, {true, L::kSelected, hcSelected}, {true, L::kHot, hcHot},
      {true, L::kHot | L::kSelected, hcBoth}};
  for (const Case& c : cases) {
    list_.HighContrast = c.highContrast;
    for (int entry : {0, 1})
      EXPECT_EQ(Mismatch(Draw(entry, c.state), Expected(entry, c.look)), "")
          << "entry " << entry << " state " << c.state << " high contrast " << c.highContrast;
  }
  list_.HighContrast = false;
  // The system's focus flag shows only once the keyboard cues show, and
  // never where the request says no focus frame.
  list_.HideFocusCueUntilKeys();  // Wine keeps no UI state: the list's own flag
  EXPECT_EQ(Mismatch(Render(0, ODS_FOCUS, true), Expected(0, plain)), "");
  list_.ShowFocusCue(true);
  EXPECT_NE(Mismatch(Render(0, ODS_FOCUS, true), Expected(0, plain)), "");
  EXPECT_EQ(Mismatch(Render(0, ODS_FOCUS | ODS_NOFOCUSRECT, true), Expected(0, plain)), "");
}

// Where the system keeps the window's UI state (Windows 2000 on, not Wine 8:
// answered here as its list box would), that state is the one truth: a key
// shows the cue through it, so the system's requests come without
// ODS_NOFOCUSRECT; hidden again by the system, it is hidden for the list too.
TEST_F(ListFixture, WhereTheSystemKeepsTheUiStateTheCueFollowsIt) {
  static bool hidden = false;
  static WNDPROC list = nullptr;
  list = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list_.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(
      +[](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == WM_QUERYUISTATE) return hidden ? UISF_HIDEFOCUS : 0;
        if (msg == WM_CHANGEUISTATE) hidden = LOWORD(wp) == UIS_SET;
        return CallWindowProcW(list, w, msg == WM_CHANGEUISTATE ? WM_UPDATEUISTATE : msg, wp, lp);
      })));
  const auto plain = [&] { return Render(0, ODS_FOCUS | (hidden ? ODS_NOFOCUSRECT : 0), true) == Expected(0, {.back = GetSysColor(COLOR_WINDOW)}); };
  list_.HideFocusCueUntilKeys();
  EXPECT_TRUE(hidden && plain());
  list_.ShowFocusCue(true);  // a key
  EXPECT_TRUE(!hidden && !plain()) << "no cue after a key";
  hidden = true;  // the system hides it again (a click after the keys)
  EXPECT_FALSE(list_.FocusCueShown());
  SetWindowLongPtrW(list_.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(list));
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

TEST_F(ListFixture, RepaintsMatchAfterOtherEntriesAndFollowColourChanges) {
  // What one entry painted leaves behind never shows in the next one.
  list_.AddItem(std::wstring(300, L'W') + L"\r\n2\r\n3\r\n4\r\n5");  // wider and taller
  Draw(2, TGraphicListBox::kHot);
  Draw(0, TGraphicListBox::kSelected);
  const COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(Mismatch(Draw(1, TGraphicListBox::kSelected),
                     Expected(1, {.back = kSky, .topLeft = kGreen, .bottomRight = hi})), "");
  // New colours are used from the next paint on.
  list_.SelectedColor = RGB(255, 255, 0);
  list_.BorderShadow = RGB(255, 0, 0);
  EXPECT_EQ(Mismatch(Draw(1, TGraphicListBox::kSelected),
                     Expected(1, {.back = RGB(255, 255, 0), .topLeft = RGB(255, 0, 0), .bottomRight = hi})),
            "");
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

// Its window gone first (the parent destroyed it): what the wrapper is asked
// afterwards reaches no other window, not the desktop's either.
TEST_F(ListFixture, WindowGoneBeforeItsWrapperAsksNothingOfOtherWindows) {
  TGraphicListBox list;
  ASSERT_TRUE(list.Create({.parent = host_.hwnd(), .bounds = {0, 0, 100, 100}, .id = 7, .font = font_.get()}));
  list.ClearHeld();
  ASSERT_TRUE(DestroyWindow(list.hwnd()));
  EXPECT_EQ(list.hwnd(), nullptr);
  ValidateRect(host_.hwnd(), nullptr);
  list.EndHold();
  list.SetItems({L"entry"});
  EXPECT_EQ(list.Count(), 0);
  RECT dirty{};
  EXPECT_FALSE(GetUpdateRect(host_.hwnd(), &dirty, FALSE)) << "another window was invalidated";
}

// However many looks the images are drawn on, at any icon size, the kept
// glyphs stay within their bound; past it they are blended in place, alike.
TEST_F(ListFixture, KeptGlyphsStayBoundedAndDrawAlikePastTheBound) {
  for (int size : {64, 256}) {
    ui::ImageList images(size, size);
    ui::UniqueIcon icon(CopyIcon(LoadIconA(nullptr, IDI_WARNING)));
    images.Add(icon.get());
    GlyphCache cache;
    for (int look = 0; look < 300; ++look) {
      const COLORREF back = RGB(look % 256, look / 256, 90);
      ui::UniqueBrush brush(CreateSolidBrush(back));
      const auto kept = Drawn(size, size, [&](HDC dc) { cache.Draw(dc, 0, 0, images, 0, back, brush.get()); });
      if (look % 60) continue;
      const auto direct = Drawn(size, size, [&](HDC dc) {
        const RECT r{0, 0, size, size};
        FillRect(dc, &r, brush.get());
        ImageList_DrawEx(images.get(), 0, dc, 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
      });
      EXPECT_EQ(kept, direct) << size << " px, look " << look;
    }
    EXPECT_LE(cache.KeptBytes(), GlyphCache::kMaxBytesPerList) << size << " px";
  }
}

// An ANSI reader on a code page 932 system gets an entry of code page 932
// names byte for byte as the entry text; other names are cut so that both an
// ANSI and a wide reader take the whole entry, a character pair kept whole.
TEST_F(ListFixture, AnsiReadersGetCodePage932EntriesAsTheyWereAndTrueNamesFitEveryReader) {
  const TQorSvc plain{7, 0, L"表示.exe", L"C:\\表\\表示.exe", L"会社", std::wstring(100, L'x'), L""};
  TQorSvc named = plain;
  named.DisplayName = L"\xD83D\xDE00.exe";
  named.FileName = L"C:\\" + std::wstring(300, L'\uD55C');
  list_.SetItems({EntryText(plain, ListTab::Processes, WideText), EntryText(named, ListTab::Processes, WideText)});
  char ansi[1024] = {};
  ASSERT_LT(SendMessageA(list_.hwnd(), LB_GETTEXTLEN, 0, 0), 1024);
  SendMessageA(list_.hwnd(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(ansi));
  const std::string tail = "\r\n　　会社：会社\r\n　　説明：" + std::string(78, 'x') + "…";
  EXPECT_EQ(std::string(ansi), "[ 7 : 表示.exe ] C:\\表\\表示.exe" + tail);
  EXPECT_LE(SendMessageA(list_.hwnd(), LB_GETTEXTLEN, 1, 0), 378);
  EXPECT_EQ(list_.ItemText(1), L"[ 7 : \xD83D\xDE00.exe ] C:\\" + std::wstring(61, L'\uD55C') + L"\u2026" + WideText(tail));
}

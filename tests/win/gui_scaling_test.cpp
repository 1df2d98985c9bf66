// The real program in a high-contrast colour scheme and at the display's
// DPI settings, read back from the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

#include "app/control_ids.h"
#include "app/texts.h"
#include "harness.h"
#include "keys_app.h"

using namespace harness;

namespace {



// The contrast of the text inside screen rectangle `r` of `shot`: the
// commonest colour is the background, the text the one farthest from it.
double TextContrast(const ScreenPixels& shot, const RECT& r) {
  std::map<COLORREF, int> counts;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) ++counts[shot.Pixel(x, y)];
  if (counts.empty()) return 0;
  const COLORREF back =
      std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  double best = 1;
  for (auto [colour, n] : counts) best = std::max(best, harness::Contrast(colour, back));
  return best;
}

RECT ScreenRect(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r;
}

RECT Inset(RECT r, int dx, int dy) {
  InflateRect(&r, -dx, -dy);
  return r;
}

// A high-contrast scheme as the system offers it: white on black, the
// selection black on cyan.
const std::pair<const char*, const char*> kHighContrastBlack[] = {
    {"Window", "0 0 0"},          {"WindowText", "255 255 255"}, {"ButtonFace", "0 0 0"},
    {"ButtonText", "255 255 255"}, {"ButtonHilight", "255 255 255"}, {"ButtonShadow", "128 128 128"},
    {"ButtonLight", "192 192 192"}, {"ButtonDkShadow", "255 255 255"}, {"Hilight", "26 235 255"},
    {"HilightText", "0 0 0"},     {"HotTrackingColor", "255 255 0"}, {"GrayText", "63 242 63"},
    {"InfoWindow", "0 0 0"},      {"InfoText", "255 255 255"},   {"Menu", "0 0 0"},
    {"MenuText", "255 255 255"},  {"Background", "0 0 0"},       {"AppWorkSpace", "0 0 0"}};

// A dark button face whose scheme leaves the window text black.
const std::pair<const char*, const char*> kDarkFace[] = {{"ButtonFace", "32 48 96"}, {"ButtonText", "255 255 255"}, {"WindowText", "0 0 0"}};

template <size_t N>
void ExpectEveryTextReadable(const std::pair<const char*, const char*> (&colours)[N], const std::string& shotName) {
  SCOPED_TRACE(shotName);
  std::vector<std::unique_ptr<RegistryValue>> scheme;
  for (auto [name, rgb] : colours)
    scheme.push_back(std::make_unique<RegistryValue>(HKEY_CURRENT_USER, "Control Panel\\Colors", name, rgb));
  App app;
  ASSERT_TRUE(app.form);
  HWND list = app.Ctl(kIdList);
  Send(list, LB_SETTOPINDEX, 0, 0);
  ASSERT_TRUE(app.SelectEntry(0, IdAt(app.Ctl(kIdList), 0)));
  RECT status = ScreenRect(app.Ctl(kIdStatusBar));
  MovePointer(status.right - 4, status.top + 2);

  // Each text with its own background: labels, edits, buttons, the selected
  // entry and the one beside it, the tabs' captions and the status bar.
  std::vector<std::pair<std::string, RECT>> texts;
  for (int id : {kIdLabelIdProcess, kIdLabelPriority, kIdLabelDisplayName, kIdLabelCompany,
                 kIdLabelDescription, kIdLabelFileName})
    texts.push_back({"label " + std::to_string(id), ScreenRect(app.Ctl(id))});
  for (int id : {kIdIdProcess, kIdDisplayName, kIdFileName})
    texts.push_back({"edit " + std::to_string(id), Inset(ScreenRect(app.Ctl(id)), 3, 3)});
  for (int id : {kIdReget, kIdByProcessId, kIdByFileName, kIdStop, kIdClose})
    texts.push_back({"button " + std::to_string(id), Inset(ScreenRect(app.Ctl(id)), 3, 3)});
  for (int i : {0, 1}) {  // the selected entry and the one beside it
    RECT entry;
    Send(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&entry));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&entry), 2);
    entry.left += 48;  // the text only: the icon's dark outline is no text
    texts.push_back({"entry " + std::to_string(i), Inset(entry, 2, 2)});
  }
  RECT tabs = ScreenRect(app.Ctl(kIdTabMain));
  texts.push_back({"tabs", {tabs.left + 4, tabs.top + 4, tabs.left + 300, tabs.top + 20}});
  texts.push_back({"status bar", {status.left + 4, status.top + 4, status.left + 300, status.bottom - 3}});
  // Read once the window has painted what the selection changed.
  std::string unreadable;
  EXPECT_TRUE(WaitFor([&] {
    ScreenPixels shot(ScreenRect(app.form));
    unreadable.clear();
    for (const auto& [name, r] : texts)
      if (!shot.Valid() || TextContrast(shot, r) < 4.5)
        unreadable += name + " (" + std::to_string(shot.Valid() ? TextContrast(shot, r) : 0) + ") ";
    return unreadable.empty();
  })) << unreadable;
  SaveScreenshot(shotName);
  if (N != std::size(kHighContrastBlack)) return;
  // A disabled caption in grey text, none of an enabled one's white; the プロセスID glyph visible.
  ASSERT_FALSE(IsWindowEnabled(app.Ctl(kIdUpdate)));
  ScreenPixels shot(ScreenRect(app.form));
  const RECT update = Inset(ScreenRect(app.Ctl(kIdUpdate)), 3, 3), byId = Inset(ScreenRect(app.Ctl(kIdByProcessId)), 3, 3);
  std::map<COLORREF, int> caption;
  for (int y = update.top; y < update.bottom; ++y)
    for (int x = update.left; x < update.right; ++x) ++caption[shot.Pixel(x, y)];
  EXPECT_GT(caption[RGB(63, 242, 63)], 10);
  EXPECT_EQ(caption[RGB(255, 255, 255)], 0);
  double glyph = 0;  // in the glyph's first column: its shape's edge, not a 20-pixel box
  int drawn = 0;
  for (int x = byId.left; x < byId.right && drawn == 0; ++x)
    for (int y = byId.top; y < byId.bottom; ++y)
      if (shot.Pixel(x, y) != RGB(0, 0, 0)) glyph = std::max(glyph, Contrast(shot.Pixel(x, y), RGB(0, 0, 0))), ++drawn;
  EXPECT_TRUE(glyph >= 4.5 && drawn < 18) << glyph << ", " << drawn << " drawn";
}

}  // namespace

TEST(Scaling, HighContrastAndDarkFaceSchemesKeepEveryTextReadable) {
  ExpectEveryTextReadable(kHighContrastBlack, "high_contrast");
  ExpectEveryTextReadable(kDarkFace, "dark_face");
}

namespace {

// The program's font at `dpi` as the design asks for it (12 pixels at 96),
// made here to measure its texts.
class DesignFont {
 public:
  explicit DesignFont(int dpi)
      : font_(CreateFontA(-MulDiv(12, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック")) {}
  SIZE Extent(const std::string& text) const {
    ui::ClientDC dc(nullptr);
    ui::Selected sel(dc.get(), font_.get());
    SIZE s{};
    GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &s);
    return s;
  }
  int LineHeight() const {
    ui::ClientDC dc(nullptr);
    ui::Selected sel(dc.get(), font_.get());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.get(), &tm);
    return tm.tmHeight;
  }

 private:
  ui::UniqueFont font_;
};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Everything that must follow `dpi`, read from the running program.
void ExpectDrawnFor(const App& app, int dpi) {
  const DesignFont font(dpi);
  const int labels[] = {kIdLabelIdProcess, kIdLabelPriority, kIdLabelDisplayName,
                        kIdLabelCompany, kIdLabelDescription, kIdLabelFileName};
  for (int id : labels) {  // each label's text inside its control
    const SIZE text = font.Extent(TextOf(app.Ctl(id)));
    const RECT r = ChildRect(app.Ctl(id));
    EXPECT_GE(Width(r), text.cx) << "label " << id;
    EXPECT_GE(Height(r), text.cy) << "label " << id;
  }
  for (int id : {kIdIdProcess, kIdDisplayName, kIdCompany, kIdDescription, kIdFileName})
    EXPECT_GE(Height(ChildRect(app.Ctl(id))), font.LineHeight() + 4) << "edit " << id;
  const int glyph = MulDiv(18, dpi, 96), bigGlyph = MulDiv(20, dpi, 96);
  for (auto [id, g] : {std::pair{kIdReget, glyph}, {kIdUpdate, glyph}, {kIdStop, glyph},
                       {kIdClose, glyph}, {kIdByProcessId, bigGlyph}, {kIdByFileName, bigGlyph}}) {
    const RECT r = ChildRect(app.Ctl(id));
    const SIZE text = font.Extent(TextOf(app.Ctl(id)));
    EXPECT_GE(Width(r), g + 4 + text.cx + 4) << "button " << id;
    EXPECT_GE(Height(r), std::max<int>(g, text.cy) + 4) << "button " << id;
  }
  // No two controls of the details panel overlap.
  std::vector<std::pair<HWND, RECT>> placed;
  for (HWND c = GetWindow(GetParent(app.Ctl(kIdClose)), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    RECT r = ChildRect(c);
    if (GetDlgCtrlID(c) == kIdPriority) r.bottom = r.top + Height(ChildRect(app.Ctl(kIdIdProcess)));
    for (const auto& [other, o] : placed) {
      RECT both;
      EXPECT_FALSE(IntersectRect(&both, &r, &o)) << GetDlgCtrlID(c) << " overlaps " << GetDlgCtrlID(other);
    }
    placed.push_back({c, r});
  }
  // Three lines per entry beside an icon of the system's size for this DPI.
  const int itemHeight = static_cast<int>(Send(app.Ctl(kIdList), LB_GETITEMHEIGHT, 0, 0));
  EXPECT_GE(itemHeight, 3 * font.LineHeight());
  const int icon = MulDiv(32, dpi, 96);
  EXPECT_GE(itemHeight, icon + 2);
  EXPECT_EQ(Width(ChildRect(app.Ctl(kIdIcon))), icon);
}

// Sends WM_DPICHANGED as the system does, its rectangle in the program's memory.
void SendDpiChanged(const App& app, int dpi, const RECT& suggested, HWND to = nullptr) {
  void* remote = VirtualAllocEx(app.process.Handle(), nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
  ASSERT_NE(remote, nullptr);
  ASSERT_TRUE(WriteProcessMemory(app.process.Handle(), remote, &suggested, sizeof suggested, nullptr));
  constexpr UINT kWmDpiChanged = 0x02E0;  // WM_DPICHANGED, newer than the headers' target
  Send(to ? to : app.form, kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
  VirtualFreeEx(app.process.Handle(), remote, 0, MEM_RELEASE);
}

// The screen inside `r` holds more than one colour: something is drawn there.
bool Drawn(const RECT& r) {
  ScreenPixels px(r);
  if (!px.Valid()) return false;
  const COLORREF first = px.Pixel(r.left, r.top);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (px.Pixel(x, y) != first) return true;
  return false;
}

}  // namespace

TEST(Scaling, DrawsForTheDisplaysDpiAndFollowsItsChange) {
  for (int dpi : {120, 144, 192}) {
    SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
    RegistryValue logPixels(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", static_cast<DWORD>(dpi));
    App app;
    ASSERT_TRUE(app.form);
    ExpectDrawnFor(app, dpi);
    SetWindowPos(app.form, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
    RECT outer;
    EXPECT_TRUE(WaitFor([&] {
      GetWindowRect(app.form, &outer);
      return Width(outer) >= MulDiv(640, dpi, 96) && Height(outer) >= MulDiv(480, dpi, 96);
    })) << Width(outer) << "x" << Height(outer);
    RECT company;
    GetWindowRect(app.Ctl(kIdLabelCompany), &company);
    EXPECT_TRUE(WaitFor([&] { return Drawn(company); }));
    SaveScreenshot("dpi_" + std::to_string(dpi));

    // The confirmation in the same font, its icon the system's size.
    HWND dialog = app.OpenConfirmation();
    ASSERT_TRUE(dialog);
    const DesignFont font(dpi);
    HWND text = FindWindowExA(dialog, nullptr, "STATIC", texts::kConfirmText);
    HWND icon = FindWindowExA(dialog, nullptr, "STATIC", "");
    ASSERT_TRUE(text && icon);
    EXPECT_GE(Width(ChildRect(text)), font.Extent(texts::kConfirmText).cx);
    EXPECT_GE(Height(ChildRect(text)), font.LineHeight());
    EXPECT_EQ(Width(ChildRect(icon)), MulDiv(32, dpi, 96));
    for (int id : {IDYES, IDNO}) {
      const RECT button = ChildRect(FindChild(dialog, id));
      EXPECT_GE(Width(button), font.Extent(TextOf(FindChild(dialog, id))).cx + 8);
      EXPECT_GE(Height(button), font.LineHeight() + 4);
    }
    SaveScreenshot("confirmation_" + std::to_string(dpi));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  }
  for (int dpi : {240, 288}) {  // the layout asks for more than the screen: the work area bounds it
    SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
    RegistryValue logPixels(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", static_cast<DWORD>(dpi));
    App app;
    ASSERT_TRUE(app.form);
    MONITORINFO monitor{sizeof monitor};
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(app.form, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT work = monitor.rcWork;
    RECT made, smallest;  // as made, then the layout's smallest: cut to the work area
    GetWindowRect(app.form, &made);
    SetWindowPos(app.form, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(app.form, &smallest);
    EXPECT_TRUE(Width(made) <= Width(work) && Height(made) <= Height(work)) << Width(made) << "x" << Height(made);
    EXPECT_TRUE(Width(smallest) == Width(work) && Height(smallest) == Height(work)) << Width(smallest);
    // The open priority list holds its six items without a scroll bar.
    ASSERT_TRUE(app.SelectEntry(0, IdAt(app.Ctl(kIdList), 0)));
    Send(app.Ctl(kIdPriority), CB_SHOWDROPDOWN, TRUE, 0);
    HWND dropped = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dropped = FindTopWindow(app.process.Id(), "ComboLBox")) && IsWindowVisible(dropped); }));
    EXPECT_EQ(GetWindowLongA(dropped, GWL_STYLE) & WS_VSCROLL, 0);
  }

  // A move to a screen of another DPI: the window takes the size offered
  // and draws everything for the new DPI.
  App app;
  ASSERT_TRUE(app.form);
  RECT before;
  GetWindowRect(app.form, &before);
  const RECT suggested{before.left, before.top, before.left + 960, before.top + 720};
  SendDpiChanged(app, 144, suggested);
  RECT after;
  GetWindowRect(app.form, &after);
  EXPECT_TRUE(EqualRect(&after, &suggested));
  ExpectDrawnFor(app, 144);
  EXPECT_GT(app.ListCount(), 0);
  RECT close;
  GetWindowRect(app.Ctl(kIdClose), &close);
  EXPECT_TRUE(WaitFor([&] { return Drawn(close); }));
  SaveScreenshot("dpi_changed_to_144");

  // The confirmation centred on the work area of its owner's screen; moved
  // to a screen of another DPI, drawn for it where the system suggests.
  HWND dialog = app.OpenConfirmation();
  ASSERT_TRUE(dialog);
  MONITORINFO screen{sizeof screen, {}, {}, 0};
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(app.form, MONITOR_DEFAULTTONEAREST), &screen));
  RECT box;
  GetWindowRect(dialog, &box);
  EXPECT_LE(std::abs(box.left + box.right - screen.rcWork.left - screen.rcWork.right), 1);
  EXPECT_LE(std::abs(box.top + box.bottom - screen.rcWork.top - screen.rcWork.bottom), 1);
  const RECT offered{40, 30, 40 + Width(box) * 2, 30 + Height(box) * 2};
  SendDpiChanged(app, 192, offered, dialog);
  GetWindowRect(dialog, &box);
  EXPECT_EQ(box.left, offered.left);
  EXPECT_EQ(box.top, offered.top);
  EXPECT_EQ(Width(ChildRect(FindWindowExA(dialog, nullptr, "STATIC", ""))), 64);
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));

  // The details window at 144 DPI: each label whole and left of its field, each field a line high.
  ASSERT_TRUE(app.SelectEntry(0, IdAt(app.Ctl(kIdList), 0)));
  keys::Chord({VK_MENU, VK_RETURN});
  HWND details = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (details = FindTopWindow(app.process.Id(), "TDetails")) != nullptr; }));
  SendDpiChanged(app, 144, {20, 20, 1000, 740}, details);
  RECT moved{};
  EXPECT_TRUE(GetWindowRect(details, &moved) && moved.left == 20 && moved.top == 20);
  const DesignFont font144(144);
  for (int id = 100; id < 125; ++id) {
    HWND field = FindChild(details, id), label = GetWindow(field, GW_HWNDPREV);
    EXPECT_GE(Width(ChildRect(label)), font144.Extent(TextOf(label)).cx) << TextOf(label);
    EXPECT_LE(ChildRect(label).right, ChildRect(field).left) << TextOf(label);
    EXPECT_GE(Height(ChildRect(field)), font144.LineHeight() + 4) << id;
  }
  SaveScreenshot("details_dpi_changed_to_144");
}

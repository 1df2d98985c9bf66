// The real Vorlane.exe next to programs whose resources are malformed or
// forged, reloaded with a real click on its reload button.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "app/control_ids.h"
#include "app/texts.h"
#include "crafted_exe.h"
#include "harness.h"
#include "tests/native/version_block_builder.h"

using namespace harness;

namespace {

struct Crafted {
  std::string name;
  crafted::Resources resources;
  std::string company, description;
  Process process{};
  int index = -1;
};

// Whether the list's icon column shows a red glyph at entry `index`, and the
// column's pixels there, from one capture of the list.
struct Glyph {
  std::vector<COLORREF> pixels;
  bool red = false;
  bool shown = false;  // the whole entry inside the list
};

Glyph GlyphAt(const ScreenPixels& px, HWND list, int index) {
  RECT r;
  Send(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  POINT at{r.left, r.top};
  ClientToScreen(list, &at);
  RECT client;
  GetClientRect(list, &client);
  Glyph g;
  g.shown = r.top >= 0 && r.bottom <= client.bottom;
  // The icon, left of the text and inside a focus frame.
  for (int y = at.y + 2; y < at.y + (r.bottom - r.top) - 2; ++y)
    for (int x = at.x + 2; x < at.x + 38; ++x) {
      g.pixels.push_back(px.Pixel(x, y));
      g.red = g.red || g.pixels.back() == RGB(255, 0, 0);
    }
  return g;
}

}  // namespace

TEST(Gui, MalformedAndForgedResourcesAfterARealReload) {
  using vblock::Bytes;
  const Bytes sound = vblock::SoundBlock("Sound Co", "Sound Desc");
  Bytes longRoot = sound;  // the root claims 64 KB
  vblock::PutWord(longRoot, 0, 0xFFFF);
  Bytes longTable = sound;  // the string table claims more than its parent
  const size_t table = vblock::KeyOffset(sound, "041103A4");
  vblock::PutWord(longTable, table, sound[table] + 0x100);
  const Bytes forged = vblock::SoundBlock("Evil\tCorp\r\nLine2", "Forged");
  Crafted programs[] = {
      {"crafted_sound.exe", {sound, crafted::IconGroup(1, 1)}, "Sound Co", "Sound Desc"},
      {"crafted_long_root.exe", {longRoot, crafted::IconGroup(0xFFFF, 1)}, "", ""},
      {"crafted_long_table.exe", {longTable, crafted::IconGroup(1, 2)}, "", ""},
      {"crafted_forged.exe", {forged, {}, false}, "Evil Corp  Line2", "Forged"},
      {"helper.exe", {}, "", ""},  // no resources: the default icon
  };
  const std::string dir = TestDir() + "crafted";
  CreateDirectoryA(dir.c_str(), nullptr);

  // Vorlane runs first: only the reload meets the programs.
  Process vorlane;
  ASSERT_TRUE(vorlane.Start("\"" + VorlaneExe() + "\""));
  HWND form = nullptr, list = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    form = FindTopWindow(vorlane.Id(), "TForm1");
    list = form ? FindChild(form, kIdList) : nullptr;
    return list && Send(list, LB_GETCOUNT, 0, 0) > 0;
  }, 20000));
  SetWindowPos(form, nullptr, 0, 0, 800, 760, SWP_NOZORDER);
  for (Crafted& c : programs) {
    const std::string path = dir + "\\" + c.name;
    if (c.name != "helper.exe") ASSERT_TRUE(crafted::MakeProgram(path, c.resources)) << c.name;
    else ASSERT_TRUE(CopyFileA((TestDir() + "helper.exe").c_str(), path.c_str(), FALSE));
    ASSERT_TRUE(c.process.Start("\"" + path + "\" windows 1 Crafted"));
    ASSERT_TRUE(WaitReady(c.process));
  }

  auto entry = [&](const Crafted& c, const std::string& second) {
    return "[ " + std::to_string(c.process.Id()) + " : " + c.name + " ] " + second +
           texts::kCompanyLine + c.company + texts::kDescriptionLine + c.description;
  };
  auto allListed = [&] {
    auto items = ListItems(list);
    for (Crafted& c : programs) {
      auto it = std::find(items.begin(), items.end(), entry(c, dir + "\\" + c.name));
      if (it == items.end()) return false;
      c.index = static_cast<int>(it - items.begin());
    }
    return true;
  };
  // The first click may only bring the window forward.
  RECT button;
  GetWindowRect(FindChild(form, kIdReget), &button);
  const bool listed =
      ClickUntil(form, {(button.left + button.right) / 2, (button.top + button.bottom) / 2}, allListed);
  ASSERT_TRUE(vorlane.Running());
  ASSERT_TRUE(listed);  // each with the fields it shows when its block is sound, else none

  // Icons: the sound group's red square; the malformed groups the default
  // icon, as a program without any. Each stays with its entry when the list
  // is ordered by image name, which moves the entries but not the images.
  // Read once the list has repainted after scrolling: two captures alike.
  auto checkGlyphs = [&](const char* shot) {
    // Above the programs' own windows, and repainted, before the pixels are read.
    ASSERT_TRUE(BringForward(form));
    SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // Each entry scrolled to the top in turn: reused process identifiers can
    // place the programs' entries further apart than the list shows at once.
    Glyph glyphs[5];
    for (int i = 0; i < 5; ++i) {
      Send(list, LB_SETTOPINDEX, programs[i].index);
      InvalidateRect(list, nullptr, FALSE);
      ASSERT_TRUE(WaitFor([&] {
        if (WaitForInputIdle(vorlane.Handle(), 2000) != 0) return false;
        RECT r;
        GetWindowRect(list, &r);
        const Glyph before = glyphs[i];
        glyphs[i] = GlyphAt(ScreenPixels(r), list, programs[i].index);
        return glyphs[i].pixels == before.pixels && (i != 0 || glyphs[0].red);
      })) << shot << " " << programs[i].name;
    }
    SaveScreenshot(shot);
    for (const Glyph& g : glyphs) ASSERT_TRUE(g.shown) << shot;
    EXPECT_FALSE(glyphs[4].red) << shot;
    for (int i = 1; i < 4; ++i) EXPECT_EQ(glyphs[i].pixels, glyphs[4].pixels) << programs[i].name << shot;
  };
  checkGlyphs("crafted_resources");
  const std::vector<int> byId = [&] {
    std::vector<int> v;
    for (const Crafted& c : programs) v.push_back(c.index);
    return v;
  }();
  Send(FindChild(form, kIdByFileName), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor(allListed, 3000));
  // crafted_long_* and crafted_forged now come before crafted_sound.
  ASSERT_LT(programs[1].index, programs[0].index);
  ASSERT_NE(programs[0].index, byId[0]);  // else an image left behind would look right
  checkGlyphs("crafted_resources_by_name");

  // The application tab shows the forged program's real window title.
  Send(FindChild(form, kIdTabMain), TCM_SETCURFOCUS, 1, 0);
  EXPECT_TRUE(WaitFor([&] {
    auto items = ListItems(list);
    return std::find(items.begin(), items.end(), entry(programs[3], "Crafted 1")) != items.end();
  }));
  PostMessageA(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(vorlane.Wait(20000), 0);
}

TEST(Gui, ALongCompanyIsCutInTheListWholeInThePanelAndSurvivesAnOutsideRead) {
  // A company string of 10,000 bytes: read by another program (as screen
  // readers do) and then scrolled, such an entry killed the program.
  const std::string dir = TestDir() + "crafted";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string company(10000, 'W');
  const std::string path = dir + "\\crafted_long_company.exe";
  ASSERT_TRUE(crafted::MakeProgram(path, {vblock::SoundBlock(company, "Long"), {}, false}));
  Process program;
  ASSERT_TRUE(program.Start("\"" + path + "\" windows 1 Long"));
  ASSERT_TRUE(WaitReady(program));
  App app;
  ASSERT_TRUE(app.form);
  // The program's entry is the longest (found without reading any text).
  HWND list = app.Ctl(kIdList);
  int index = -1, length = 0;
  for (int i = 0; i < app.ListCount(); ++i) {
    const int n = static_cast<int>(SendW(list, LB_GETTEXTLEN, i, 0));
    if (n > length) index = i, length = n;
  }
  ASSERT_GE(index, 0);
  // The outside read, as a reader does it: the length, then the text (into
  // room for far more than the length said, should the list change between).
  std::wstring text(4096, L'\0');
  EXPECT_GT(SendW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())), 0);
  // Then a real scroll over the list, down and back.
  RECT r;
  GetWindowRect(list, &r);
  MovePointer((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  for (DWORD wheel : {static_cast<DWORD>(-WHEEL_DELTA), static_cast<DWORD>(WHEEL_DELTA)}) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = wheel;
    for (int i = 0; i < 3; ++i) SendInput(1, &in, sizeof in);
  }
  EXPECT_FALSE(WaitFor([&] { return !app.process.Running(); }, 3000)) << "the program died";
  ASSERT_TRUE(app.process.Running());
  app.Settle();
  // The entry shows the company cut with "…"; the panel shows it whole.
  const std::string item = ItemAt(list, index);
  EXPECT_EQ(item.rfind("[ " + std::to_string(program.Id()) + " : crafted_long_company.exe ]", 0), 0u);
  EXPECT_NE(item.find(texts::kCompanyLine + std::string(78, 'W') + "\x81\x63" +
                      texts::kDescriptionLine + "Long"),
            std::string::npos)
      << item.size() << " bytes";
  ASSERT_TRUE(app.SelectEntry(index, program.Id()));
  std::string panel(company.size() + 2, '\0');
  Send(app.Ctl(kIdCompany), WM_GETTEXT, panel.size(), reinterpret_cast<LPARAM>(panel.data()));
  panel.resize(std::strlen(panel.c_str()));
  EXPECT_TRUE(panel == company) << "the panel holds " << panel.size() << " bytes";
}

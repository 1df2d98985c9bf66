// The program on the 9x family and on NT 4.0, as Wine reports them to a
// program of a given file name. Wine's DLLs implement every wide function
// whatever version they report; under the 9x layer (ninex_layer.dll) the
// program meets them as 95, 98 and Me do: failing, absent or full paths.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "app/control_ids.h"
#include "app/texts.h"
#include "harness.h"

using namespace harness;

namespace {

const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\";

std::string Layer() { return TestDir() + "ninex_layer.dll"; }

// The failing functions the layer saw process `pid` call, one a line; the
// record is removed once read.
std::set<std::string> FailingCalls(DWORD pid) {
  const std::string log = TestDir() + "ninex-" + std::to_string(pid) + ".log";
  std::istringstream lines(ReadFileBytes(log));
  DeleteFileA(log.c_str());
  std::set<std::string> calls;
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) calls.insert(line.substr(0, line.find('\r')));
  return calls;
}

// Distinct colours in the icon column of list entry `index`: a drawn icon
// has several, an empty column one.
size_t IconColours(HWND list, int index) {
  RECT r{};
  Send(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
  const ScreenPixels px({r.left + 2, r.top + 2, r.left + 38, r.bottom - 2});
  std::set<COLORREF> colours;
  for (int y = r.top + 2; px.Valid() && y < r.bottom - 2; ++y)
    for (int x = r.left + 2; x < r.left + 38; ++x) colours.insert(px.Pixel(x, y));
  return colours.size();
}

}  // namespace

TEST(NineX, TheLayerFailsWideCallsAndHidesWhatTheFamilyLacks) {
  RegistryValue win98(HKEY_CURRENT_USER, std::string(kAppDefaults) + "helper.exe", "Version", "win98");
  Process helper;
  ASSERT_TRUE(helper.Start("\"" + TestDir() + "helper.exe\" widecalls", CREATE_SUSPENDED));
  ASSERT_TRUE(LoadInto(helper, Layer()));
  ASSERT_TRUE(helper.Resume());
  // Both paths to a wide call fail with error 120, what 98 lacks is absent,
  // and a wide function it implements works.
  EXPECT_EQ(helper.Wait(20000), 15);
  EXPECT_EQ(FailingCalls(helper.Id()), std::set<std::string>{"GetModuleFileNameW"});
}

// Each step a user takes, on each system of the family, and no wide call
// but those the family implements.
TEST(NineX, EveryStepWorksOn95And98AndMeWithNoFailingCall) {
  Process helper = StartHelper("windows 2 Nine");
  SetPriorityClass(helper.Handle(), BELOW_NORMAL_PRIORITY_CLASS);
  const std::string exe = CopyExe(TestDir() + "ninex", "Vorlane9x.exe");
  for (const char* version : {"win95", "win98", "winme"}) {
    SCOPED_TRACE(version);
    RegistryValue told(HKEY_CURRENT_USER, std::string(kAppDefaults) + "Vorlane9x.exe", "Version",
                       version);
    App app(exe, "", Layer());
    EXPECT_EQ(TextOf(app.form), "Vorlane  Ver. 1.0.2.0");
    // An ANSI window answers in code page 932 bytes, cut whole within the room.
    HWND status = app.Ctl(kIdStatusBar);
    EXPECT_EQ(TextOf(status), texts::kStatusNotice);
    char cut[12];
    ASSERT_EQ(Send(status, WM_GETTEXT, sizeof cut, reinterpret_cast<LPARAM>(cut)), 10);
    EXPECT_EQ(std::string(cut), std::string(texts::kStatusNotice, 10));
    EXPECT_EQ(app.IndexOf("[ 0 : "), -1);  // no fixed entries on this family
    int index = -1;
    ASSERT_TRUE(WaitFor([&] {
      app.Click(kIdReget);
      return (index = app.IndexOf(Prefix(helper.Id()))) >= 0;
    }));
    ASSERT_TRUE(app.SelectEntry(index, helper.Id()));
    EXPECT_EQ(TextOf(app.Ctl(kIdFileName)), TestDir() + "helper.exe");
    // Drawn once the selection has repainted the entry: read until it is.
    EXPECT_TRUE(WaitFor([&] { return IconColours(app.Ctl(kIdList), index) > 2u; }, 5000));
    SaveScreenshot(std::string("ninex-") + version);
    HWND combo = app.Ctl(kIdPriority);
    EXPECT_FALSE(IsWindowEnabled(combo));
    EXPECT_EQ(Send(combo, CB_GETCURSEL, 0, 0), 4);  // the class read: "通常以下"
    HWND dialog = app.OpenConfirmation();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(TextOf(dialog), texts::kConfirmCaption);
    Send(FindChild(dialog, IDNO), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    PostMessageA(app.form, WM_CLOSE, 0, 0);
    app.form = nullptr;
    EXPECT_EQ(app.process.Wait(20000), 0);
    EXPECT_EQ(FailingCalls(app.process.Id()), std::set<std::string>{});
  }
  // The stop, once, on the oldest.
  RegistryValue told(HKEY_CURRENT_USER, std::string(kAppDefaults) + "Vorlane9x.exe", "Version", "win95");
  App app(exe, "", Layer());
  const int index = app.IndexOf(Prefix(helper.Id()));
  ASSERT_GE(index, 0);
  ASSERT_TRUE(app.SelectEntry(index, helper.Id()));
  app.Click(kIdStop);
  EXPECT_EQ(helper.Wait(15000), 0);
  EXPECT_TRUE(WaitFor([&] { return app.IndexOf(Prefix(helper.Id())) == -1; }));
  // The family has no judgement of its own (IsHungAppWindow): a window that
  // does not answer WM_NULL in time is marked, one that answers is not.
  const std::string kNotRespondingMark = " (応答なし)";
  Process stalled = StartHelper("hang Stalled 1");
  Process fine = StartHelper("windows 1 Fine");
  Send(app.Ctl(kIdTabMain), TCM_SETCURFOCUS, 1);
  EXPECT_TRUE(WaitFor([&] {
    app.Click(kIdReget);
    return app.IndexOf(Prefix(stalled.Id()) + " Stalled" + kNotRespondingMark) >= 0;
  }));
  const int answering = app.IndexOf(Prefix(fine.Id()) + " Fine");
  ASSERT_GE(answering, 0);
  EXPECT_EQ(app.Items()[answering].find(kNotRespondingMark), std::string::npos);
  EXPECT_EQ(FailingCalls(app.process.Id()), std::set<std::string>{});
}

TEST(NineX, NtFourListsThroughPsapiAsTheNtFamilyDoes) {
  RegistryValue nt4(HKEY_CURRENT_USER, std::string(kAppDefaults) + "VorlaneNt4.exe", "Version", "nt40");
  Process helper = StartHelper("windows 1 Four");
  App app(CopyExe(TestDir() + "nt4", "VorlaneNt4.exe"));
  EXPECT_EQ(TextOf(app.form), "Vorlane  Ver. 1.0.2.0");
  int index = -1;
  ASSERT_TRUE(WaitFor([&] {
    app.Click(kIdReget);
    return (index = app.IndexOf(Prefix(helper.Id()))) >= 0;
  }));
  ASSERT_TRUE(app.SelectEntry(index, helper.Id()));
  // Wine's ToolHelp would name the bare file; PSAPI names the whole path.
  EXPECT_EQ(TextOf(app.Ctl(kIdFileName)), TestDir() + "helper.exe");
  EXPECT_TRUE(IsWindowEnabled(app.Ctl(kIdPriority)));
}

// The home-page link of the real Vorlane.exe: no browser serving DDE, and
// every way of saying no.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "app/control_ids.h"
#include "app/texts.h"
#include "harness.h"

#include <utility>

using namespace harness;

namespace {

// The stand-in browser under a program-files directory with a blank in it,
// also registered as the handler of http addresses.
struct StubBrowser {
  const std::string dir = "C:\\Vorlane Stub Files";
  const std::string exe = dir + "\\Internet Explorer\\IEXPLORE.EXE";
  const std::string log = TestDir() + "stub_log.txt";
  RegistryValue programFiles{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                             "ProgramFilesDir", dir};
  RegistryValue http{HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "",
                     "\"" + exe + "\" \"%1\""};
  StubBrowser() {
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "\\Internet Explorer").c_str(), nullptr);
    EXPECT_TRUE(CopyFileA((TestDir() + "browser_stub.exe").c_str(), exe.c_str(), FALSE)) << exe;
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("VORLANE_STUB_LOG", log.c_str());  // inherited by the program
  }
  ~StubBrowser() { SetEnvironmentVariableA("VORLANE_STUB_LOG", nullptr); }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::string text = ReadFileBytes(log), line;
    for (char c : text) {
      if (c == '\n') {
        lines.push_back(line);
        line.clear();
      } else if (c != '\r') {
        line += c;
      }
    }
    return lines;
  }
};

// Whether the process has the hidden window that every DDE instance makes.
bool HasDdeWindow(DWORD pid) {
  for (HWND w : TopWindows(pid)) {
    char cls[256] = {};
    GetClassNameA(w, cls, sizeof cls);
    std::string name(cls);
    for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (name.find("dde") != std::string::npos) return true;
  }
  return false;
}

// The visible tip of the process's tooltips, as the pointer shows it; empty when none shows.
std::string ShownTip(DWORD pid) {
  for (HWND w : TopWindows(pid)) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0 && IsWindowVisible(w)) return TextOf(w);
  }
  return "";
}

}  // namespace

// Made once the first reload has ended, the link's hint shows under the
// pointer, also when the window was activated while that reload ran.
TEST(Link, HintShowsUnderThePointer) {
  Process slow = StartHelper("slow 50 60 Slow");  // the first reload outlasts the activation
  App app;
  ASSERT_TRUE(app.form);
  RECT r;
  GetWindowRect(app.Ctl(kIdLink), &r);
  // From beside the link onto it: the tip waits for a move inside the tool.
  MovePointer(r.left - 20, r.top - 20);
  MovePointer((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  std::string tip;
  EXPECT_TRUE(WaitFor([&] { return !(tip = ShownTip(app.process.Id())).empty(); }));
  EXPECT_EQ(tip, texts::kLinkHint);
}

TEST(Link, NoDdeServerStartsTheBrowserQuotedThenOpensTheDefaultBrowser) {
  StubBrowser stub;
  App app;
  // The conversation machinery is started by the link's first use, not before.
  EXPECT_FALSE(HasDdeWindow(app.process.Id()));
  HWND dialog = app.OpenConfirmation();
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(HasDdeWindow(app.process.Id()));
  Send(FindChild(dialog, IDYES), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return stub.Lines().size() >= 2; }));
  EXPECT_TRUE(HasDdeWindow(app.process.Id()));
  bool started = false, opened = false;
  for (const std::string& line : stub.Lines()) {
    // Started minimized without activation, the path in quotes, nothing else.
    if (line == "show=7 flags=1 cmd=\"" + stub.exe + "\"") started = true;
    if (line.find(texts::kHomePage) != std::string::npos) opened = true;
  }
  EXPECT_TRUE(started) << ReadFileBytes(stub.log);
  EXPECT_TRUE(opened) << ReadFileBytes(stub.log);
}

TEST(Link, NoEscapeAndClosingDoNothing) {
  StubBrowser stub;
  const std::string ddeLog = TestDir() + "dde_log_no.bin";
  DdeServer server(ddeLog);
  App app;
  const std::function<void(HWND)> ways[] = {
      [](HWND d) { Send(FindChild(d, IDNO), BM_CLICK, 0, 0); },
      [](HWND d) {
        EXPECT_TRUE(BringForward(d));
        SetFocus(FindChild(d, IDYES));
        PressKey(VK_ESCAPE);
      },
      [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); },
  };
  bool first = true;
  for (const auto& say : ways) {
    HWND dialog = app.OpenConfirmation();
    ASSERT_TRUE(dialog);
    if (std::exchange(first, false)) {
      // The picture once the window behind has repainted its panel.
      RECT r;
      GetWindowRect(FindChild(app.form, kIdLabelCompany), &r);
      EXPECT_TRUE(WaitFor([&] {
        ScreenPixels px(r);
        return px.Valid() && px.Pixel(r.left, r.top) != RGB(0, 0, 0);
      })) << "the panel behind the confirmation was not repainted";
      SaveScreenshot("confirmation");
    }
    say(dialog);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));
    app.Settle();
  }
  EXPECT_EQ(ReadFileBytes(ddeLog), "");
  EXPECT_TRUE(stub.Lines().empty());
}

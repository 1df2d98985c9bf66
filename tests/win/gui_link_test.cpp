// The home-page link of the real Vorlane.exe: no browser serving DDE, and
// every way of saying no.
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/texts.h"
#include "harness.h"

#include <utility>

using namespace harness;

namespace {

// Sets a registry string for one scope and puts the old value back.
class RegistryValue {
 public:
  RegistryValue(HKEY root, const std::string& key, const std::string& name, const std::string& value)
      : root_(root), key_(key), name_(name) {
    HKEY k;
    RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    char old[1024] = {};
    DWORD size = sizeof old, type = 0;
    had_ = RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
           ERROR_SUCCESS;
    old_.assign(old, size);
    type_ = type;
    RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
  }
  ~RegistryValue() {
    HKEY k;
    if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
    if (had_)
      RegSetValueExA(k, name_.c_str(), 0, type_, reinterpret_cast<const BYTE*>(old_.data()),
                     static_cast<DWORD>(old_.size()));
    else
      RegDeleteValueA(k, name_.c_str());
    RegCloseKey(k);
  }

 private:
  HKEY root_;
  std::string key_, name_, old_;
  DWORD type_ = REG_SZ;
  bool had_ = false;
};

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
    CopyFileA((TestDir() + "browser_stub.exe").c_str(), exe.c_str(), FALSE);
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

struct Vorlane {
  Process process;
  HWND form = nullptr;
  Vorlane() {
    EXPECT_TRUE(process.Start("\"" + VorlaneExe() + "\""));
    // Ready once the first load has filled the list.
    WaitFor([&] {
      form = FindTopWindow(process.Id(), "TForm1");
      return form && SendMessageA(FindChild(form, kIdList), LB_GETCOUNT, 0, 0) > 0;
    }, 20000);
  }
  ~Vorlane() {
    PostMessageA(form, WM_CLOSE, 0, 0);
    process.Wait(5000);
  }
  HWND OpenConfirmation() {
    HWND link = FindChild(form, kIdLink);
    PostMessageA(link, WM_LBUTTONDOWN, 0, 0);
    PostMessageA(link, WM_LBUTTONUP, 0, 0);
    HWND dialog = nullptr;
    WaitFor([&] {
      dialog = FindTopWindow(process.Id(), "TMessageForm");
      return dialog && IsWindowVisible(dialog);
    });
    return dialog;
  }
  // Returns once the click handler has finished: the window answers again.
  void Settle() { SendMessageA(form, WM_NULL, 0, 0); }
};

}  // namespace

TEST(Link, NoDdeServerStartsTheBrowserQuotedThenOpensTheDefaultBrowser) {
  StubBrowser stub;
  Vorlane app;
  HWND dialog = app.OpenConfirmation();
  ASSERT_TRUE(dialog);
  SendMessageA(FindChild(dialog, IDYES), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return stub.Lines().size() >= 2; }));
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
  DeleteFileA(ddeLog.c_str());
  Process server;
  ASSERT_TRUE(server.Start("\"" + TestDir() + "dde_server.exe\" \"" + ddeLog + "\""));
  ASSERT_TRUE(WaitFor([] { return FindWindowA(nullptr, "dde ready") != nullptr; }));
  Vorlane app;
  const std::function<void(HWND)> ways[] = {
      [](HWND d) { SendMessageA(FindChild(d, IDNO), BM_CLICK, 0, 0); },
      [](HWND d) {
        SetForegroundWindow(d);
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
      WaitFor([&] {
        ScreenPixels px(r);
        return px.Valid() && px.Pixel(r.left, r.top) != RGB(0, 0, 0);
      });
      SaveScreenshot("confirmation");
    }
    say(dialog);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));
    app.Settle();
  }
  EXPECT_EQ(ReadFileBytes(ddeLog), "");
  EXPECT_TRUE(stub.Lines().empty());
  PostMessageA(FindWindowA(nullptr, "dde ready"), WM_CLOSE, 0, 0);
}

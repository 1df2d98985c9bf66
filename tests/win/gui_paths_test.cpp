// Vorlane started from folders that code page 932 cannot name, or whose path
// is longer than MAX_PATH in that code page.
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "harness.h"

using namespace harness;

namespace {

// Code page 932 text of a UTF-16 path, as the system converts it.
std::string Cp932(const std::wstring& w) {
  const int n = WideCharToMultiByte(932, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
  s.pop_back();
  return s;
}

}  // namespace

// Its caption carries its version, its own entry shows its name and its path
// (a long one cut, as every long field of the list is), and a copy started
// from an ordinary folder hands over to it.
TEST(Gui, OwnPathOutsideTheCodePageOrPastMaxPath) {
  const std::wstring root = L"\\\\?\\C:\\vorlane_own";
  // 2 bytes a character in code page 932: past MAX_PATH there (a cut could
  // split a character), well inside it in UTF-16.
  std::wstring japanese;
  for (int i = 0; i < 70; ++i) japanese += L"\u65E5\u672C";
  struct Case {
    std::vector<std::wstring> folders;
    std::string shown;
  } cases[] = {
      {{root, root + L"\\\uD55C\uAE00"}, "C:\\vorlane_own\\??\\Vorlane.exe"},
      {{root, root + L"\\" + japanese}, ""},
  };
  cases[1].shown = Cp932(cases[1].folders.back().substr(4) + L"\\Vorlane.exe");
  ASSERT_GT(cases[1].shown.size(), 300u);
  const std::string program = VorlaneExe();
  const std::wstring vorlane(program.begin(), program.end());
  for (const Case& c : cases) {
    for (const std::wstring& f : c.folders) CreateDirectoryW(f.c_str(), nullptr);
    const std::wstring exe = c.folders.back() + L"\\Vorlane.exe";
    ASSERT_TRUE(CopyFileW(vorlane.c_str(), exe.c_str(), FALSE));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe.substr(4) + L"\"";
    ASSERT_TRUE(CreateProcessW(exe.substr(4).c_str(), cmd.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    base::UniqueHandle process(pi.hProcess);
    EXPECT_TRUE(JoinTestJob(process.get()));
    HWND form = nullptr;
    const bool shown = WaitFor(
        [&] {
          form = FindTopWindow(pi.dwProcessId, "TForm1");
          return form && Send(FindChild(form, kIdList), LB_GETCOUNT, 0, 0) > 0;
        },
        20000);
    if (shown) {
      EXPECT_EQ(TextOf(form), "Vorlane  Ver. 1.0.2.0");
      const std::string own =
          "[ " + std::to_string(pi.dwProcessId) + " : Vorlane.exe ] " + c.shown.substr(0, 100);
      bool found = false;
      for (const std::string& item : ListItems(FindChild(form, kIdList)))
        found = found || item.rfind(own, 0) == 0;
      EXPECT_TRUE(found) << own;
      Process second;
      ASSERT_TRUE(second.Start("\"" + CopyExe(TestDir() + "elsewhere", "Vorlane.exe") + "\""));
      EXPECT_EQ(second.Wait(15000), 0);
      EXPECT_EQ(FindTopWindow(second.Id(), "TForm1"), nullptr);
      PostMessageA(form, WM_CLOSE, 0, 0);
    }
    const bool ended = WaitForSingleObject(process.get(), 15000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process.get(), 1);
    EXPECT_TRUE(shown) << c.shown;
    EXPECT_TRUE(ended);
  }
}

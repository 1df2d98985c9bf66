// The zip a user downloads, as the packer of `make dist` makes it from this
// build's program: unpacked into a new folder, it holds the program with its
// manifest, a readme that Notepad shows in Japanese and the licence, and the
// unpacked program starts and closes.
#include <gtest/gtest.h>

#include "harness.h"

#include <algorithm>

using namespace harness;

namespace {

// The build folder: the test programs sit in win\tests under it.
std::string BuildDir() { return TestDir() + "..\\..\\"; }

std::vector<std::string> FilesIn(const std::string& dir, const std::string& pattern = "*") {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dir + "\\" + pattern).c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  return names;
}

// The fixed file version, "a.b.c.d", as the system's version reader sees it.
std::string FileVersion(const std::string& exe) {
  DWORD ignored = 0;
  std::string block(GetFileVersionInfoSizeA(exe.c_str(), &ignored), '\0');
  VS_FIXEDFILEINFO* info = nullptr;
  UINT size = 0;
  if (block.empty() || !GetFileVersionInfoA(exe.c_str(), 0, block.size(), block.data()) ||
      !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &size))
    return "";
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionLS));
}

// The manifest the loader reads at process creation (resource 1, RT_MANIFEST).
std::string ManifestOf(const std::string& exe) {
  base::UniqueLibrary module(LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  HRSRC res = module ? FindResourceA(module.get(), MAKEINTRESOURCEA(1), RT_MANIFEST) : nullptr;
  HGLOBAL data = res ? LoadResource(module.get(), res) : nullptr;
  if (!data) return "";
  return std::string(static_cast<const char*>(LockResource(data)), SizeofResource(module.get(), res));
}

// Text that Notepad opens as it is meant on a Japanese Windows.
void ExpectWindowsText(const std::string& text, UINT codePage) {
  EXPECT_FALSE(text.empty());
  EXPECT_GT(MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(),
                                static_cast<int>(text.size()), nullptr, 0), 0);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
    } else if (text[i] == '\r') {
      EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
    }
  }
}

}  // namespace

TEST(Package, UnpackedZipHoldsProgramReadmeLicenceAndStarts) {
  const std::string packageDir = BuildDir() + "package";
  const auto zips = FilesIn(packageDir, "Vorlane-*.zip");
  ASSERT_EQ(zips.size(), 1u);
  const std::string dir = TestDir() + "unpacked";
  // A new folder each run; python's zipfile stands in for Explorer's "extract
  // all". Wine does not wait for a program of the machine's own: each step
  // is awaited by its effect.
  auto exists = [&] { return GetFileAttributesA(dir.c_str()) != INVALID_FILE_ATTRIBUTES; };
  RunUnix("/bin/rm -rf " + UnixPath(dir) + ".part " + UnixPath(dir));  // in this order
  ASSERT_TRUE(WaitFor([&] { return !exists(); }));
  RunUnix("/bin/sh -c \"/usr/bin/python3 -m zipfile -e " + UnixPath(packageDir + "\\" + zips[0]) +
          " " + UnixPath(dir) + ".part && mv " + UnixPath(dir) + ".part " + UnixPath(dir) + "\"");
  ASSERT_TRUE(WaitFor(exists));

  auto files = FilesIn(dir);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"LICENSE.txt", "README.txt", "Vorlane.exe", "Vorlane64.exe"}));
  // The program of this test's width.
  const std::string exe = dir + (sizeof(void*) == 8 ? "\\Vorlane64.exe" : "\\Vorlane.exe");
  EXPECT_TRUE(ReadFileBytes(exe) == ReadFileBytes(VorlaneExe())) << "not the built program";
  const std::string version = FileVersion(exe);
  EXPECT_EQ(zips[0], "Vorlane-" + version + ".zip");

  const std::string manifest = ManifestOf(exe);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
  EXPECT_NE(manifest.find("<supportedOS"), std::string::npos);
  EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);  // classic controls
  // It draws for its DPI itself: per monitor (v2), else the system's DPI.
  EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                          "PerMonitorV2, System</dpiAwareness>"),
            std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
                          "true</dpiAware>"),
            std::string::npos);
  // Code page 932 for its remaining ANSI calls where the system grants it.
  EXPECT_NE(manifest.find("<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">"
                          "ja-JP</activeCodePage>"),
            std::string::npos);

  const std::string readme = ReadFileBytes(dir + "\\README.txt");
  ExpectWindowsText(readme, 932);
  EXPECT_NE(readme.find("インストールは不要"), std::string::npos);
  EXPECT_NE(readme.find("64 ビット版 Windows では Vorlane64.exe を起動"), std::string::npos);
  EXPECT_NE(readme.find("管理者"), std::string::npos);
  EXPECT_NE(readme.find("MIT"), std::string::npos);
  const std::string licence = ReadFileBytes(dir + "\\LICENSE.txt");
  ExpectWindowsText(licence, 20127);  // US-ASCII
  EXPECT_EQ(licence.rfind("MIT License\r\n", 0), 0u);

  Process app;
  ASSERT_TRUE(app.Start("\"" + exe + "\"", 0, SW_SHOWNORMAL, dir));
  HWND form = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    form = FindTopWindow(app.Id(), "TForm1");
    return form && IsWindowVisible(form) && TextOf(form) == "Vorlane  Ver. " + version;
  }, 20000));
  PostMessageA(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(app.Wait(20000), 0);
}

// The program under WOW64: run in the 64-bit prefix only (VORLANE_ARCH=64),
// where a 32-bit program's reads under System32 go to the 32-bit folder.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "model/entry_model.h"
#include "model/reload_job.h"
#include "harness.h"
#include "base/shown_text.h"
#include "procinfo/process_api.h"
#include "procinfo/process_image.h"
#include "ui/image_list.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

TEST(Wow64, SixtyFourBitProgramsInTheSystemFolderResolveAsThirtyTwoBitOnes) {
  const char* arch = std::getenv("VORLANE_ARCH");
  if (!arch || std::string(arch) != "64") GTEST_SKIP() << "runs in the 64-bit prefix";
  BOOL wow = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow));
  ASSERT_TRUE(wow);

  // The 64-bit probe goes into the real System32 and starts from there.
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string probe64 = std::string(windows) + "\\system32\\vorlane_probe64.exe";
  harness::Process p64, p32;
  PVOID redirection = nullptr;
  ASSERT_TRUE(Wow64DisableWow64FsRedirection(&redirection));
  const bool copied = CopyFileA((harness::TestDir() + "..\\..\\win64\\probe64.exe").c_str(),
                                probe64.c_str(), FALSE);
  const bool started = copied && p64.Start("\"" + probe64 + "\"");
  Wow64RevertWow64FsRedirection(redirection);
  ASSERT_TRUE(started);
  EXPECT_EQ(GetFileAttributesA(probe64.c_str()), INVALID_FILE_ATTRIBUTES);  // not in our view
  ASSERT_TRUE(p32.Start("\"" + harness::TestDir() + "probe32.exe\""));

  ui::UniqueIcon fallback(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
  ui::UniqueIcon system(CopyIcon(LoadIconA(nullptr, IDI_WARNING)));
  EntryLists lists;
  ReloadJob job;
  TQorSvc s64, s32;
  ASSERT_TRUE(harness::WaitFor([&] {
    job.Reload({"Idle", "", "System", "", "", fallback.get(), system.get(), system.get()}, nullptr,
               [&](std::unique_ptr<ReloadPart> p) { lists.Take(*p); });
    s64 = s32 = TQorSvc{};
    for (size_t i = 0; i < lists.Processes.Size(); ++i) {
      const TQorSvc& s = lists.Processes.EntryAt(i);
      if (s.idProcess == p64.Id()) s64 = s;
      if (s.idProcess == p32.Id()) s32 = s;
    }
    return !s64.FileName.empty() && !s32.FileName.empty();
  }));
  EXPECT_EQ(Lower(ShownText(s64.FileName)), Lower(probe64));
  EXPECT_EQ(s64.DisplayName, L"vorlane_probe64.exe");
  EXPECT_EQ(s32.DisplayName, L"probe32.exe");
  EXPECT_EQ(s64.Company, L"Probe Company");
  EXPECT_EQ(s64.Company, s32.Company);
  EXPECT_EQ(s64.Description, L"Probe Description");
  EXPECT_EQ(s64.Description, s32.Description);

  // The icons: each process's own, the same for both, not the default one.
  int i64 = -1, i32 = -1;
  for (size_t i = 0; i < lists.Processes.Size(); ++i) {
    const TQorSvc& s = lists.Processes.EntryAt(i);
    if (s.idProcess == p64.Id()) i64 = static_cast<int>(i);
    if (s.idProcess == p32.Id()) i32 = static_cast<int>(i);
  }
  ASSERT_GE(i64, 0);
  ASSERT_GE(i32, 0);
  ui::UniqueIcon icon64 = lists.Processes.IconAt(i64), icon32 = lists.Processes.IconAt(i32);
  ui::ImageList defaults(32, 32);
  defaults.Add(fallback.get());
  ui::UniqueIcon defaultIcon = defaults.GetIcon(0);
  EXPECT_EQ(harness::IconPixels(icon64.get()), harness::IconPixels(icon32.get()));
  EXPECT_NE(harness::IconPixels(icon64.get()), harness::IconPixels(defaultIcon.get()));

  // The system's own 64-bit services are named too (Wine's carry no company).
  bool services = false;
  for (size_t i = 0; i < lists.Processes.Size(); ++i) {
    const TQorSvc& s = lists.Processes.EntryAt(i);
    const std::string path = Lower(ShownText(s.FileName));
    if (path.size() > 13 && path.compare(path.size() - 13, 13, "\\services.exe") == 0)
      services = s.DisplayName == L"services.exe";
  }
  EXPECT_TRUE(services);
  EXPECT_TRUE(p64.Kill());
  ASSERT_TRUE(Wow64DisableWow64FsRedirection(&redirection));
  DeleteFileA(probe64.c_str());
  Wow64RevertWow64FsRedirection(redirection);
}

namespace {
uint64_t g_peb64 = 0;  // what the stand-in below answers

// NtWow64QueryInformationProcess64 as 64-bit Windows answers it; Wine 8 has
// none (and gives a 32-bit caller no 64-bit PEB at all).
LONG WINAPI Wow64BasicInformation(HANDLE, ULONG kind, PVOID info, ULONG size, PULONG) {
  if (kind != 0 || size < 48) return static_cast<LONG>(0xC0000004);
  static_cast<ULONGLONG*>(info)[1] = g_peb64;
  return 0;
}
// NtWow64QueryVirtualMemory64, which Wine 8 also lacks, as Windows answers
// it for the helper's committed blocks: each address in a read-write region
// of its own page.
LONG WINAPI Wow64CommittedPage(HANDLE, ULONGLONG at, ULONG kind, PVOID info, ULONGLONG size, PULONGLONG) {
  if (kind != 0 || size < 48) return static_cast<LONG>(0xC0000004);
  auto* m = static_cast<unsigned char*>(info);
  const ULONGLONG base = at & ~0xFFFull, pageSize = 0x1000;
  const DWORD state = MEM_COMMIT, protect = PAGE_READWRITE;
  memcpy(m, &base, 8);
  memcpy(m + 24, &pageSize, 8);
  memcpy(m + 32, &state, 4);
  memcpy(m + 36, &protect, 4);
  return 0;
}
}  // namespace

TEST(Wow64, SixtyFourBitProcessParametersFromTheWow64Side) {
  const char* arch = std::getenv("VORLANE_ARCH");
  if (!arch || std::string(arch) != "64") GTEST_SKIP() << "runs in the 64-bit prefix";
  const std::string folder = harness::TestDir().substr(0, harness::TestDir().size() - 1);
  const std::string report = folder + "\\peb.txt";
  harness::Process story;
  const std::string line = "\"" + harness::TestDir() + "..\\..\\win64\\story64.exe\" peb \"" + report +
                           "\" \"引数 two\"";
  ASSERT_TRUE(story.Start(line, 0, SW_SHOWNORMAL, folder) && harness::WaitReady(story));
  const std::string bytes = harness::ReadFileBytes(report);
  DeleteFileA(report.c_str());
  ASSERT_GE(bytes.size(), 4u);  // UTF-16 digits ending in a line feed
  g_peb64 = std::wcstoull(reinterpret_cast<const wchar_t*>(bytes.data()), nullptr, 10);
  ASSERT_GT(g_peb64, 0u);

  // The system's own answer, then the WOW64 query as Windows gives it; the
  // 64-bit memory is read through Wine's real NtWow64ReadVirtualMemory64.
  harness::SavedProcessApi saved;
  const ProcessImage asIs = ReadProcessImage(story.Id());
  EXPECT_EQ(asIs.bits, 64);
  if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtWow64QueryInformationProcess64"))
    EXPECT_EQ(asIs.params.commandLine.state, ParamsText::State::Unread);
  Api().NtWow64QueryInformationProcess64 = Wow64BasicInformation;
  if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtWow64QueryVirtualMemory64"))
    EXPECT_EQ(ReadProcessImage(story.Id()).params.commandLine.state, ParamsText::State::Unread)
        << "read where the system could not say what the memory holds";
  Api().NtWow64QueryVirtualMemory64 = Wow64CommittedPage;
  const ProcessImage image = ReadProcessImage(story.Id());
  ASSERT_EQ(image.params.commandLine.state, ParamsText::State::Read);
  wchar_t wide[1024] = {};
  MultiByteToWideChar(932, 0, line.c_str(), -1, wide, 1024);
  EXPECT_EQ(std::wstring(image.params.commandLine.text.begin(), image.params.commandLine.text.end()), wide);
  MultiByteToWideChar(932, 0, (folder + "\\").c_str(), -1, wide, 1024);
  EXPECT_EQ(std::wstring(image.params.currentFolder.text.begin(), image.params.currentFolder.text.end()), wide);
}

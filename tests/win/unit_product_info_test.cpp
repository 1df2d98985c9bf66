// Version resources and executable resolution, on real files in the prefix.
#include <gtest/gtest.h>

#include "harness.h"
#include "productinfo/resolve.h"
#include "productinfo/qorfunc.h"
#include "crafted_exe.h"
#include "tests/native/version_block_builder.h"

using harness::TestDir;

namespace {
std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

TQorProductInfo Read(const std::string& name, int* result) {
  TQorProductInfo info;
  *result = ReadProductInfo(TestDir() + name, info);
  return info;
}

void CopyTo(const std::string& from, const std::string& to) {
  std::string dir = to.substr(0, to.find_last_of('\\'));
  for (size_t p = 3; p != std::string::npos && p <= dir.size(); p = dir.find('\\', p + 1))
    CreateDirectoryA(dir.substr(0, p).c_str(), nullptr);
  CreateDirectoryA(dir.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << to;
}
}  // namespace

TEST(ProductInfo, ReadsTheTranslationsTable) {
  int r;
  TQorProductInfo i = Read("ver_jp_full.exe", &r);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(i.CompanyName, "Test Company JP");
  EXPECT_EQ(i.FileDescription, "Test Description JP");
  EXPECT_EQ(i.ProductVersion, "1.23.0.4");
  EXPECT_EQ(i.ShortVersion, "1.23");
  EXPECT_EQ(i.OriginalFilename, "ver_jp_full.exe");
}

TEST(ProductInfo, SecondPassOnlyWhenTheFirstFoundNothing) {
  int r;
  TQorProductInfo second = Read("ver_second_pass.exe", &r);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(second.CompanyName, "Second Pass Co");
  EXPECT_EQ(second.FileDescription, "Second Pass Desc");
  TQorProductInfo only = Read("ver_company_only.exe", &r);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(only.CompanyName, "Only Company");
  EXPECT_EQ(only.FileDescription, "");
}

TEST(ProductInfo, MissingPiecesGiveMinusOneAndEmptyFields) {
  int r;
  for (const char* name : {"ver_no_version.exe", "ver_no_translation.exe", "missing.exe"}) {
    TQorProductInfo i = Read(name, &r);
    EXPECT_EQ(r, -1) << name;
    EXPECT_EQ(i.CompanyName + i.ProductVersion + i.ShortVersion, "") << name;
  }
  TQorProductInfo dir;
  EXPECT_EQ(ReadProductInfo(TestDir(), dir), -1);
}

TEST(ProductInfo, ShortVersions) {
  int r;
  EXPECT_EQ(Read("ver_ver12.exe", &r).ShortVersion, "");
  EXPECT_EQ(Read("ver_ver1234.exe", &r).ShortVersion, "1.2");
  EXPECT_EQ(Read("ver_ver1002.exe", &r).ShortVersion, "10.0");
  EXPECT_EQ(Read("ver_ver1002.exe", &r).ProductVersion, "10.0.2");
}

TEST(ProductInfo, ProgramsOwnVersion) {
  TQorProductInfo i;
  ASSERT_EQ(ReadProductInfo(harness::VorlaneExe(), i), 0);
  EXPECT_EQ(i.ProductName, "Vorlane");
  EXPECT_EQ(i.ProductVersion, "1.0.2.0");
  EXPECT_EQ(i.CompanyName, "Kestrane");
}

TEST(Resolve, CandidatePaths) {
  char sysroot[MAX_PATH] = {};
  GetEnvironmentVariableA("SystemRoot", sysroot, MAX_PATH);
  std::string root = sysroot;
  CopyTo(TestDir() + "ver_jp_full.exe", root + "\\system32\\VorlaneProbe.EXE");
  CopyTo(harness::VorlaneExe(), root + "\\system32\\VorlaneIcon.exe");

  Resolution r = ResolveExecutable("\\SystemRoot\\System32\\VorlaneProbe.EXE");
  EXPECT_EQ(r.DisplayName, "vorlaneprobe.exe");  // the rewritten path is lower-cased
  EXPECT_EQ(r.Company, "Test Company JP");
  EXPECT_FALSE(r.Icon);  // the file has no icon of its own

  r = ResolveExecutable(root + "\\system32\\VorlaneProbe.EXE");
  EXPECT_EQ(r.DisplayName, "VorlaneProbe.EXE");

  r = ResolveExecutable(root + "\\system32\\VorlaneProbe");
  EXPECT_EQ(r.DisplayName, "VorlaneProbe.exe");  // ".exe" appended

  r = ResolveExecutable(root + "\\system32\\VorlaneIcon.exe");
  EXPECT_EQ(r.Company, "Kestrane");
  EXPECT_TRUE(r.Icon);

  r = ResolveExecutable("system32\\VorlaneProbe.EXE");
  EXPECT_EQ(r.DisplayName, "VorlaneProbe.EXE");  // below SystemRoot
}

// Values in code page 932 whatever the process's (also run under 1252): "表示" whole, "é" as "?".
TEST(Resolve, EnvironmentValuesReadInCodePage932) {
  ASSERT_TRUE(SetEnvironmentVariableW(L"VORLANE_DIR", L"C:\\\u8868\u793A\u00E9"));
  std::string path = "%VORLANE_DIR%\\x.exe";
  ExpandEnvVar(path);
  SetEnvironmentVariableW(L"VORLANE_DIR", nullptr);
  EXPECT_EQ(path, "C:\\\x95\x5C\x8E\xA6?\\x.exe") << "code page " << GetACP();
}

TEST(Resolve, NamesWithBlanksAndDotsResolveAsTheyStand) {
  const std::string blank = "C:\\Program Files\\Vorlane Test\\my app.exe";
  const std::string dotted = "C:\\Documents and Settings\\a.b\\My App\\app.exe";
  CopyTo(TestDir() + "ver_company_only.exe", blank);
  CopyTo(TestDir() + "ver_company_only.exe", dotted);
  for (const std::string& path : {blank, dotted}) {
    const Resolution r = ResolveExecutable(path);
    EXPECT_EQ(r.DisplayName, path.substr(path.find_last_of('\\') + 1));
    EXPECT_EQ(r.Company, "Only Company");
    EXPECT_EQ(r.Description, "");
  }
  const Resolution missing = ResolveExecutable("C:\\nowhere\\gone.exe");
  EXPECT_EQ(missing.DisplayName, "");
  EXPECT_FALSE(missing.Icon);
}

TEST(Resolve, ExeInDirectoryNameGetsNoSuffix) {
  CopyTo(TestDir() + "ver_jp_full.exe", "C:\\tools.exe.d\\probe");
  EXPECT_EQ(ResolveExecutable("C:\\tools.exe.d\\probe").DisplayName, "probe");
}

TEST(Resolve, CacheGivesTheFileFactsOnceRead) {
  const std::string path = TestDir() + "crafted_cached.exe";
  ASSERT_TRUE(crafted::MakeProgram(path, {vblock::SoundBlock("Cached Co", "Cached Desc"),
                                          crafted::IconGroup(1, 1)}));
  ResolveCache cache;
  const Resolution& first = cache.Get(path);
  EXPECT_EQ(first.DisplayName, "crafted_cached.exe");
  EXPECT_EQ(first.Company, "Cached Co");
  EXPECT_EQ(first.Description, "Cached Desc");
  EXPECT_TRUE(first.Icon);
  // Read once: the same facts again, also with the file gone.
  ASSERT_TRUE(DeleteFileA(path.c_str()));
  const Resolution& again = cache.Get(path);
  EXPECT_EQ(&first, &again);
  EXPECT_EQ(again.Company, "Cached Co");
}

// Programs whose resources claim more than they hold: empty fields and no
// icon, the sound ones as usual, and the reads never leave the resources.
TEST(Resolve, MalformedResourcesGiveEmptyFieldsAndNoIcon) {
  using vblock::Bytes;
  const Bytes sound = vblock::SoundBlock("Sound Co", "Sound Desc");
  Bytes longRoot = sound;
  vblock::PutWord(longRoot, 0, 0xFFFF);
  Bytes longTable = sound;
  const size_t table = vblock::KeyOffset(sound, "041103A4");
  vblock::PutWord(longTable, table, sound[table] + 0x100);
  struct Case {
    const char* name;
    crafted::Resources resources;
    bool fields, icon;
  } cases[] = {
      {"crafted_sound.exe", {sound, crafted::IconGroup(1, 1)}, true, true},
      {"crafted_long_root.exe", {longRoot, crafted::IconGroup(0xFFFF, 1)}, false, false},
      {"crafted_long_table.exe", {longTable, crafted::IconGroup(1, 2)}, false, false},
      {"crafted_no_count.exe", {sound, crafted::IconGroup(0, 1)}, true, false},
  };
  for (const Case& c : cases) {
    const std::string path = TestDir() + c.name;
    ASSERT_TRUE(crafted::MakeProgram(path, c.resources)) << c.name;
    for (const Resolution& r : {ResolveExecutable(path), ResolveExecutable(Wide(path))}) {
      EXPECT_EQ(r.DisplayName, c.name);
      EXPECT_EQ(r.Company, c.fields ? "Sound Co" : "") << c.name;
      EXPECT_EQ(r.Description, c.fields ? "Sound Desc" : "") << c.name;
      EXPECT_EQ(static_cast<bool>(r.Icon), c.icon) << c.name;
    }
  }
}

// Paths of 256 to 259 bytes through both routes, and past MAX_PATH through
// the wide one: the file is found and named.
TEST(Resolve, LongPathsKeepTheirNamesAndFacts) {
  CreateDirectoryA("C:\\vorlane_len", nullptr);
  for (size_t length : {256u, 259u}) {
    const std::string dir = "C:\\vorlane_len\\" + std::string(length - 27, 'p');
    const std::string exe = dir + "\\company.exe";
    ASSERT_EQ(exe.size(), length);
    CreateDirectoryA(dir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((TestDir() + "ver_company_only.exe").c_str(), exe.c_str(), FALSE));
    for (const Resolution& r : {ResolveExecutable(exe), ResolveExecutable(Wide(exe))}) {
      EXPECT_EQ(r.DisplayName, "company.exe") << length;
      EXPECT_EQ(r.Company, "Only Company") << length;
    }
  }
  const std::wstring outer = L"\\\\?\\C:\\vorlane_len\\" + std::wstring(200, L'q');
  const std::wstring inner = outer + L"\\" + std::wstring(100, L'r');
  CreateDirectoryW(outer.c_str(), nullptr);
  CreateDirectoryW(inner.c_str(), nullptr);
  const std::wstring exe = inner + L"\\company.exe";
  ASSERT_TRUE(CopyFileW(Wide(TestDir() + "ver_company_only.exe").c_str(), exe.c_str(), FALSE));
  const Resolution r = ResolveExecutable(exe.substr(4));  // as the system reports it
  EXPECT_EQ(r.DisplayName, "company.exe");
  EXPECT_EQ(r.Company, "Only Company");
  EXPECT_EQ(r.RealPath, exe.substr(4));
}

// The icon checked and taken from one load of the file is the one the
// shell's extraction gives, for an icon of several sizes and a crafted one.
TEST(Resolve, IconFromOneLoadIsTheShellsExtraction) {
  const std::string crafted = TestDir() + "crafted_icon_only.exe";
  ASSERT_TRUE(crafted::MakeProgram(crafted, {{}, crafted::IconGroup(1, 1)}));
  for (const std::string& path : {harness::VorlaneExe(), crafted}) {
    const Resolution r = ResolveExecutable(Wide(path));
    ASSERT_TRUE(r.Icon) << path;
    char buf[MAX_PATH] = {};
    lstrcpynA(buf, path.c_str(), MAX_PATH);
    WORD index = 0;
    base::UniqueIcon shell(ExtractAssociatedIconA(GetModuleHandleA(nullptr), buf, &index));
    ASSERT_TRUE(shell) << path;
    EXPECT_EQ(harness::IconPixels(r.Icon.get()), harness::IconPixels(shell.get())) << path;
  }
}

TEST(ProductInfo, VersionTextsComeOnlyFromFilesOfData) {
  // What a forged module path may name: devices, a pipe, a folder, nothing.
  const std::string fifo = harness::TestDir() + "module.fifo", empty = harness::TestDir() + "empty.dll";
  DeleteFileA(fifo.c_str());
  ASSERT_TRUE(harness::RunUnix("/usr/bin/mkfifo '" + harness::UnixPath(fifo) + "'"));
  CloseHandle(CreateFileA(empty.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  for (const std::wstring& path : {std::wstring(L"Z:\\dev\\zero"), std::wstring(L"Z:\\dev\\tty"),
                                   harness::Wide(fifo), harness::Wide(empty), std::wstring(L"C:\\windows"),
                                   std::wstring(L"C:\\no such.dll"), std::wstring(L"C:\\windows\\*.dll")})
    EXPECT_FALSE(IsRegularFile(path)) << std::string(path.begin(), path.end());
  EXPECT_TRUE(IsRegularFile(L"C:\\windows\\system32\\kernel32.dll"));
  DeleteFileA(fifo.c_str());
  DeleteFileA(empty.c_str());
}

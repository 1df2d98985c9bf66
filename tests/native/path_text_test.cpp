#include "base/path_text.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TextEnv Env(std::map<std::string, std::string> vars = {{"SYSTEMROOT", "C:\\WINDOWS"}}) {
  return {[vars](const std::string& name, std::string& value) {
            std::string upper = name;
            for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
            auto it = vars.find(upper);
            if (it == vars.end()) return false;
            value = it->second;
            return true;
          }};
}

std::string Norm(std::string p, const TextEnv& env = Env()) {
  NormalizeExePath(p, env);
  return p;
}

std::string Expand(std::string p, const TextEnv& env = Env()) {
  ExpandEnvVar(p, env);
  return p;
}

}  // namespace

TEST(ExpandEnvVar, FirstReferenceOnly) {
  EXPECT_EQ(Expand("%SystemRoot%\\system32\\smss.exe"), "C:\\WINDOWS\\system32\\smss.exe");
  EXPECT_EQ(Expand("%Unset%\\system32\\smss.exe"), "\\system32\\smss.exe");
  EXPECT_EQ(Expand("50% off"), "50% off");
  EXPECT_EQ(Expand("%SystemRoot%\\%SystemRoot%"), "C:\\WINDOWS\\%SystemRoot%");
  EXPECT_EQ(Expand("pre%SystemRoot%post"), "preC:\\WINDOWSpost");
}

TEST(ExpandEnvVar, ValueOf260OrMoreCountsAsUnset) {
  EXPECT_EQ(Expand("%LONG%x", Env({{"LONG", std::string(260, 'v')}})), "x");
  EXPECT_EQ(Expand("%LONG%x", Env({{"LONG", std::string(259, 'v')}})),
            std::string(259, 'v') + "x");
}

TEST(NormalizeExePath, CommandLinesBecomeExecutablePaths) {
  EXPECT_EQ(Norm("\"C:\\Program Files\\App\\app.exe\" -x"), "C:\\Program Files\\App\\app.exe");
  EXPECT_EQ(Norm("C:\\WINDOWS\\system32\\svchost.exe -k netsvcs"), "C:\\WINDOWS\\system32\\svchost.exe");
  EXPECT_EQ(Norm("C:\\WINNT\\system32\\svchost -k rpcss"), "C:\\WINNT\\system32\\svchost");
  EXPECT_EQ(Norm("rundll32.exe shell32.dll,Control_RunDLL"), "rundll32.exe");
  EXPECT_EQ(Norm("%SystemRoot%\\system32\\smss.exe"), "C:\\WINDOWS\\system32\\smss.exe");
}

TEST(NormalizeExePath, Quotes) {
  EXPECT_EQ(Norm("C:\\Bob's Files\\x.exe"), "C:\\Bob's Files\\x.exe");
  EXPECT_EQ(Norm("'C:\\x y\\a.exe' arg"), "C:\\x y\\a.exe");
  EXPECT_EQ(Norm("\"'C:\\x y\\a.exe' arg\""), "C:\\x y\\a.exe");
  EXPECT_EQ(Norm("\"C:\\lone\\quote.exe"), "\"C:\\lone\\quote.exe");
  // A doubled quote stands for one; the next pass then reads an unquoted token.
  EXPECT_EQ(Norm("\"C:\\a \"\"b\"\"\\c.exe\""), "C:\\a");
}

TEST(NormalizeExePath, BlanksInNamesCut) {
  EXPECT_EQ(Norm("C:\\Program Files\\App\\my app.exe"), "C:\\Program Files\\App\\my");
  EXPECT_EQ(Norm("C:\\Documents and Settings\\a.b\\My App\\app.exe"),
            "C:\\Documents and Settings\\a.b\\My");
}

TEST(NormalizeExePath, TrailByte5CIsNotASeparator) {
  // "表" is 0x95 0x5C and "ソ" 0x83 0x5C: their second byte is "\".
  const std::string hyo = "\x95\x5C", so = "\x83\x5C";
  EXPECT_EQ(Norm("C:\\" + hyo + " dir\\" + so + ".exe"), "C:\\" + hyo + " dir\\" + so + ".exe");
  EXPECT_EQ(Norm("C:\\dir\\" + hyo + " x.exe"), "C:\\dir\\" + hyo);
  EXPECT_EQ(FileNameStart("C:\\d\\" + so), 5u);
  EXPECT_EQ(LowerAscii("\x83" "A" "B"), "\x83" "Ab");
}

TEST(NormalizeExePath, LongInputIsCutNeverOverrun) {
  std::string longPath = "C:\\" + std::string(400, 'a') + ".exe";
  std::string out = Norm(longPath);
  EXPECT_EQ(out.size(), kMaxPathText);
  EXPECT_EQ(out, longPath.substr(0, kMaxPathText));
  // A cut never splits a double-byte character.
  std::string dbcs = "C:";
  while (dbcs.size() < 300) dbcs += "\x95\x5C";
  std::string cut = Norm(dbcs);
  EXPECT_LE(cut.size(), kMaxPathText);
  EXPECT_EQ((cut.size() - 2) % 2, 0u);
}

// A title as WM_GETTEXT gives it, 254 units at most: cut there (by the
// program or the system) between the halves of a pair, the high half goes too.
TEST(CutUnits, NeverEndsInHalfASurrogatePair) {
  const std::wstring a253(253, L'a'), emoji = L"\xD83D\xDE00";
  EXPECT_EQ(CutUnits(a253 + emoji, 254), a253);
  EXPECT_EQ(CutUnits(a253 + L"\xD83D", 254), a253);
  EXPECT_EQ(CutUnits(a253.substr(1) + emoji + L"b", 254), a253.substr(1) + emoji);
}

// "\??\" is the NT prefix only at the start; elsewhere it is what the ANSI
// functions report for a folder named by two characters the code page lacks.
TEST(NtPrefix, RemovedOnlyWhereItBeginsThePath) {
  EXPECT_EQ(WithoutNtPrefix(std::string("\\??\\C:\\WINDOWS\\system32\\winlogon.exe")),
            "C:\\WINDOWS\\system32\\winlogon.exe");
  EXPECT_EQ(WithoutNtPrefix(std::string("C:\\dir\\??\\prog.exe")), "C:\\dir\\??\\prog.exe");
  EXPECT_EQ(WithoutNtPrefix(std::wstring(L"\\??\\C:\\a\\??\\b.exe")), L"C:\\a\\??\\b.exe");
  // An image's mapped file name as a drive path: Wine's form, Windows' device
  // form through the drives' devices, and neither where no drive holds it.
  const std::vector<std::pair<std::wstring, std::wstring>> devices = {
      {L"C:", L"\\Device\\HarddiskVolume1"}, {L"D:", L"\\Device\\HarddiskVolume12"}};
  EXPECT_EQ(DrivePathOfMapped(L"\\??\\Z:\\w\\a.dll", devices), L"Z:\\w\\a.dll");
  EXPECT_EQ(DrivePathOfMapped(L"\\Device\\HarddiskVolume12\\a.dll", devices), L"D:\\a.dll");
  EXPECT_EQ(DrivePathOfMapped(L"\\Device\\HarddiskVolume1\\w\\a.dll", devices), L"C:\\w\\a.dll");
  EXPECT_EQ(DrivePathOfMapped(L"\\Device\\HarddiskVolume3\\a.dll", devices), L"");
  EXPECT_EQ(DrivePathOfMapped(L"\\??\\UNC\\srv\\a.dll", devices), L"");
  EXPECT_EQ(WithoutNtPrefix(std::string("\\??")), "\\??");
  EXPECT_EQ(WideFileNameStart(L"C:\\dir\\??\\prog.exe"), 10u);
  EXPECT_EQ(WideFileNameStart(L"C:prog.exe"), 2u);
  EXPECT_EQ(WideFileNameStart(L"prog.exe"), 0u);
}

// Every process of the running prefix as the snapshot lists it: programs this
// build made, whose version texts the test wrote itself, and the prefix's
// own processes checked against their files; all printed.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "model/entry_model.h"
#include "harness.h"
#include "productinfo/resolve.h"
#include "model/snapshot.h"

namespace {

struct Known {
  const char* exe;
  const char* company;      // as written in tests/win/version/*.rc
  const char* description;
};
const Known kKnown[] = {
    {"ver_jp_full.exe", "Test Company JP", "Test Description JP"},
    {"ver_second_pass.exe", "Second Pass Co", "Second Pass Desc"},
    {"ver_company_only.exe", "Only Company", ""},
    {"ver_no_version.exe", "", ""},
};

}  // namespace

TEST(Listing, EveryProcessListedWithItsFileAndVersionTexts) {
  std::vector<harness::Process> running;
  for (const Known& k : kKnown) {
    running.emplace_back();
    ASSERT_TRUE(running.back().Start("\"" + harness::TestDir() + k.exe + "\" stay")) << k.exe;
    ASSERT_TRUE(harness::WaitReady(running.back())) << k.exe << " did not start";
  }
  ui::UniqueIcon def(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
  ResolveCache files;
  const Snapshot lists = TakeSnapshot(
      {"Idle", "", "System", "", "", def.get(), def.get(), def.get()},
      CachedResolver(files));
  ASSERT_GE(lists.Processes.size(), 5u + std::size(kKnown));
  int known = 0;
  for (const ListedEntry& listed : lists.Processes) {
    const TQorSvc& s = listed.entry;
    ResolveCache cache;
    const bool icon = !s.FileName.empty() && cache.Get(s.FileName).Icon;
    std::printf("%6u  %-22ls | %-24ls | %-30ls | icon %s\n", s.idProcess, s.DisplayName.c_str(),
                s.Company.c_str(), s.Description.c_str(), icon ? "yes" : "no");
    if (s.FileName.empty()) continue;
    // Every process of the prefix has its file, named as the entry says.
    EXPECT_NE(GetFileAttributesW(s.FileName.c_str()), INVALID_FILE_ATTRIBUTES) << s.FileName;
    EXPECT_EQ(s.DisplayName, s.FileName.substr(s.FileName.find_last_of(L"\\:") + 1));
    EXPECT_EQ(icon, ExtractIconExW(s.FileName.c_str(), -1, nullptr, nullptr, 0) > 0) << s.FileName;
    for (size_t i = 0; i < std::size(kKnown); ++i) {
      if (s.idProcess != running[i].Id()) continue;
      ++known;
      EXPECT_EQ(s.FileName, harness::Wide(harness::TestDir() + kKnown[i].exe));
      EXPECT_EQ(s.DisplayName, harness::Wide(kKnown[i].exe));
      EXPECT_EQ(s.Company, harness::Wide(kKnown[i].company)) << kKnown[i].exe;
      EXPECT_EQ(s.Description, harness::Wide(kKnown[i].description)) << kKnown[i].exe;
    }
  }
  EXPECT_EQ(known, static_cast<int>(std::size(kKnown)));
}

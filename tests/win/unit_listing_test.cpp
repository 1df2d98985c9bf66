// Every process of the running prefix, as the snapshot resolves it, checked
// against the files themselves and printed.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "app/entry_model.h"
#include "procinfo/entry_line.h"
#include "productinfo/resolve.h"
#include "procinfo/snapshot.h"
#include "productinfo/qorfunc.h"

TEST(Listing, EveryProcessResolvedAsItsFileSays) {
  ui::UniqueIcon def(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
  ResolveCache files;
  const Snapshot lists = TakeSnapshot(
      {"Idle", "", "System", "", "", def.get(), def.get(), def.get()},
      CachedResolver(files));
  ASSERT_GE(lists.ProcessLines.size(), 5u);  // the prefix's own services at least
  int resolved = 0;
  for (const std::string& line : lists.ProcessLines) {
    TQorSvc s;
    LineToSvc(line, s);
    const std::string path = ResolvePath(s.FileName);
    ResolveCache cache;
    const bool icon = !path.empty() && cache.Get(s.FileName).Icon;
    std::printf("%6u  %-22s | %-24s | %-30s | icon %s\n", s.idProcess, s.DisplayName.c_str(),
                s.Company.c_str(), s.Description.c_str(), icon ? "yes" : "no");
    if (s.FileName.empty()) continue;
    ASSERT_FALSE(path.empty()) << s.FileName;  // every process of the prefix has its file
    ++resolved;
    EXPECT_EQ(s.DisplayName, path.substr(path.find_last_of("\\:") + 1));
    TQorProductInfo info;
    ReadProductInfo(path, info);
    EXPECT_EQ(s.Company, info.CompanyName) << path;
    EXPECT_EQ(s.Description, info.FileDescription) << path;
    const UINT icons = ExtractIconExA(path.c_str(), -1, nullptr, nullptr, 0);
    EXPECT_EQ(icon, icons > 0) << path;
  }
  EXPECT_EQ(resolved, static_cast<int>(lists.ProcessLines.size()));
}

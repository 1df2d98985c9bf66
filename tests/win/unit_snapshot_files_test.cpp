// The snapshot over programs the test built: in folders code page 932
// cannot name, and reloaded through what the last reload kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "model/entry_model.h"
#include "model/reload_job.h"
#include "crafted_exe.h"
#include "harness.h"
#include "model/entry.h"
#include "model/snapshot.h"
#include "tests/native/version_block_builder.h"
#include "ui/image_list.h"

namespace {

// Each file resolved as the program does.
Snapshot Take() {
  static ui::UniqueIcon def(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
  // A new cache for each snapshot, so that no test leans on what an earlier
  // one resolved; kept until the next, as it owns the snapshot's icons.
  static std::unique_ptr<ResolveCache> cache;
  cache = std::make_unique<ResolveCache>();
  return TakeSnapshot({"Idle", "", "System", "", "", def.get(), def.get(), def.get()},
                      CachedResolver(*cache));
}

}  // namespace

namespace {

constexpr COLORREF kCraftedRed = RGB(255, 0, 0);

// An entry of ASCII texts as one tab-separated line, to compare whole.
std::string LineOf(const TQorSvc& s) {
  char id[16];
  std::snprintf(id, sizeof id, "%8X", static_cast<unsigned>(s.idProcess));
  std::string line = id;
  for (const std::wstring* field : {&s.DisplayName, &s.FileName, &s.Company, &s.Description, &s.WindowText}) {
    line += '\t';
    for (wchar_t c : *field) line += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return line + '\t';
}

}  // namespace

// Folders named by characters code page 932 cannot hold. Read through the
// ANSI functions, "C:\vorlane_wide\한글\prog.exe" is "C:\vorlane_wide\??\prog.exe",
// once taken for "C:\vorlane_wideprog.exe": a decoy with other facts waits there.
TEST(Snapshot, PathsOutsideTheCodePageShowTheirOwnFilesFacts) {
  const std::string staged = harness::TestDir() + "wide_real.exe";
  ASSERT_TRUE(crafted::MakeProgram(
      staged, {vblock::SoundBlock("Real Co", "Real Desc"), crafted::IconGroup(1, 1)}));
  ASSERT_TRUE(crafted::MakeProgram("C:\\vorlane_wideprog.exe",
                                   {vblock::SoundBlock("Decoy Co", "Decoy Desc"), {}, false}));
  CreateDirectoryW(L"C:\\vorlane_wide", nullptr);
  const std::wstring folders[] = {L"C:\\vorlane_wide\\\uD55C\uAE00", L"C:\\vorlane_wide\\\u0141\u00F3d\u017A"};
  harness::Process running[2];
  for (int i = 0; i < 2; ++i) {
    CreateDirectoryW(folders[i].c_str(), nullptr);
    const std::wstring exe = folders[i] + L"\\prog.exe";
    ASSERT_TRUE(CopyFileW(harness::Wide(staged).c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(running[i].Start(L"\"" + exe + L"\" windows 1 Wide" + std::to_wstring(i)) &&
                harness::WaitReady(running[i]));
  }
  const Snapshot lists = Take();
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    size_t at = lists.Processes.size();
    for (size_t k = 0; k < lists.Processes.size(); ++k)
      if (lists.Processes[k].entry.idProcess == running[i].Id()) at = k;
    ASSERT_LT(at, lists.Processes.size());
    const TQorSvc& s = lists.Processes[at].entry;
    EXPECT_EQ(s.FileName, folders[i] + L"\\prog.exe");  // whole, not as code page 932 has it
    EXPECT_EQ(s.DisplayName, L"prog.exe");
    EXPECT_EQ(s.Company, L"Real Co");
    EXPECT_EQ(s.Description, L"Real Desc");
    EXPECT_EQ(harness::IconCentre(lists.Processes[at].icon), kCraftedRed);
    ASSERT_EQ(lists.Files.count(running[i].Id()), 1u);
    EXPECT_EQ(lists.Files.at(running[i].Id()), folders[i] + L"\\prog.exe");
  }
}

// Two reloads through the kept paths and facts give the lines and icons of
// programs whose texts and icons the test wrote; a program whose file was
// replaced between two reloads shows its new facts at the second.
TEST(Snapshot, ReloadsKeepOnlyWhatCannotHaveChanged) {
  struct Made {
    std::string company, description;
    bool icon;
  };
  Made made[3] = {{"Kept One Co", "Kept One", true},
                  {"Kept Two Company", "", false},
                  {"Kept Three Co", "Kept Three Description", true}};
  std::string path[3];
  harness::Process running[3];
  auto make = [&](int i) {
    path[i] = harness::TestDir() + "kept_" + std::to_string(i) + ".exe";
    crafted::Resources r{vblock::SoundBlock(made[i].company, made[i].description),
                         made[i].icon ? crafted::IconGroup(1, 1) : std::vector<unsigned char>(),
                         made[i].icon};
    return crafted::MakeProgram(path[i], r);
  };
  auto start = [&](int i) {
    const std::string title = "Kept" + std::to_string(i);
    return running[i].Start("\"" + path[i] + "\" windows 2 " + title) &&
           harness::WaitFor([&] {
             return harness::FindTitled(running[i].Id(), "ready " + std::to_string(running[i].Id()));
           });
  };
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(make(i) && start(i)) << i;

  ui::UniqueIcon def(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
  ui::ImageList defaults(32, 32);
  defaults.Add(def.get());
  const COLORREF defaultCentre = harness::IconCentre(defaults.GetIcon(0).get());
  ASSERT_NE(defaultCentre, kCraftedRed);
  const FixedEntries fixed{"Idle", "", "System", "", "", def.get(), def.get(), def.get()};
  auto lineOf = [&](int i, const std::string& title) {
    char id[16];
    std::snprintf(id, sizeof id, "%8X", static_cast<unsigned>(running[i].Id()));
    return std::string(id) + "\tkept_" + std::to_string(i) + ".exe\t" + path[i] + "\t" +
           made[i].company + "\t" + made[i].description + "\t" + title + "\t";
  };
  EntryLists lists;
  ReloadJob job;  // the window's own reading, its parts taken as the window takes them
  auto reload = [&] { job.Reload(fixed, nullptr, [&](std::unique_ptr<ReloadPart> p) { lists.Take(*p); }); };
  auto check = [&](const char* when) {
    SCOPED_TRACE(when);
    std::vector<std::string> processes, applications;
    for (size_t k = 0; k < lists.Processes.Size(); ++k) {
      for (int i = 0; i < 3; ++i) {
        if (lists.Processes.EntryAt(k).idProcess != running[i].Id()) continue;
        processes.push_back(LineOf(lists.Processes.EntryAt(k)));
        EXPECT_EQ(harness::IconCentre(lists.Processes.IconAt(k).get()),
                  made[i].icon ? kCraftedRed : defaultCentre) << i;
      }
    }
    for (size_t k = 0; k < lists.Applications.Size(); ++k) {
      for (int i = 0; i < 3; ++i) {
        if (lists.Applications.EntryAt(k).idProcess != running[i].Id()) continue;
        applications.push_back(LineOf(lists.Applications.EntryAt(k)));
        EXPECT_EQ(harness::IconCentre(lists.Applications.IconAt(k).get()),
                  made[i].icon ? kCraftedRed : defaultCentre) << i;
      }
    }
    // Processes in identifier order; each one's windows newest first.
    int order[3] = {0, 1, 2};
    std::sort(order, order + 3, [&](int a, int b) { return running[a].Id() < running[b].Id(); });
    std::vector<std::string> wantProcesses, wantApplications;
    for (int i : order) {
      wantProcesses.push_back(lineOf(i, ""));
      for (const char* n : {" 2", " 1"})
        wantApplications.push_back(lineOf(i, "Kept" + std::to_string(i) + n));
    }
    EXPECT_EQ(processes, wantProcesses);
    EXPECT_EQ(applications, wantApplications);
  };
  reload();
  check("first reload");
  reload();
  check("second reload");

  ASSERT_TRUE(running[1].Kill());
  made[1] = {"Replaced Co", "Replaced Description", true};
  ASSERT_TRUE(harness::WaitFor([&] { return make(1); })) << "file still in use";
  ASSERT_TRUE(start(1));
  reload();
  check("after the file was replaced");
}

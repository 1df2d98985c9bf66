// Priority classes and stopping, on real helper processes.
#include <gtest/gtest.h>

#include "base/handles.h"
#include "harness.h"
#include "procinfo/privilege.h"
#include "procinfo/process_api.h"
#include "procinfo/process_ops.h"

#include <vector>

namespace {
FILETIME CreationOf(HANDLE p) {
  FILETIME c{}, e, k, u;
  GetProcessTimes(p, &c, &e, &k, &u);
  return c;
}
}  // namespace

TEST(ProcessOps, ReadsAndSetsThePriorityClass) {
  harness::Process h = harness::StartHelper("windows 1 Prio");
  SetPriorityClass(h.Handle(), BELOW_NORMAL_PRIORITY_CLASS);
  EXPECT_EQ(GetProcessPriority(h.Id()), 0x4000u);
  FILETIME created = CreationOf(h.Handle());
  EXPECT_TRUE(SetProcessPriority(h.Id(), 0x80, &created));
  EXPECT_EQ(GetPriorityClass(h.Handle()), 0x80u);
  EXPECT_EQ(GetProcessPriority(0xFFFFFFF0), 0xFFFFu);
}

TEST(ProcessOps, StopEndsARunningProcessWithExitCodeZero) {
  harness::Process h = harness::StartHelper("windows 1 Stop");
  FILETIME created = CreationOf(h.Handle());
  StopProcess(h.Id(), &created);
  EXPECT_EQ(h.Wait(15000), 0);
}

TEST(ProcessOps, AReusedIdentifierIsNeitherStoppedNorChanged) {
  harness::Process h = harness::StartHelper("windows 1 Reused");
  FILETIME older = CreationOf(h.Handle());
  older.dwLowDateTime -= 10000000;  // the listed process started a second earlier
  if (older.dwLowDateTime > CreationOf(h.Handle()).dwLowDateTime) older.dwHighDateTime -= 1;
  EXPECT_FALSE(SetProcessPriority(h.Id(), 0x80, &older));
  EXPECT_EQ(GetPriorityClass(h.Handle()), 0x20u);
  StopProcess(h.Id(), &older);
  EXPECT_TRUE(h.Running());
  StopProcess(h.Id(), nullptr);  // no creation time known: goes ahead
  EXPECT_EQ(h.Wait(15000), 0);
}

TEST(ProcessOps, WithoutTheDebugPrivilegeOwnProcessesAreStillReachable) {
  harness::SavedProcessApi saved;
  Api().AdjustTokenPrivileges = [](HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES,
                                   PDWORD) WINAPI -> BOOL {
    SetLastError(ERROR_NOT_ALL_ASSIGNED);
    return TRUE;
  };
  harness::Process h = harness::StartHelper("windows 1 NoPriv");
  SetPriorityClass(h.Handle(), IDLE_PRIORITY_CLASS);
  EXPECT_EQ(GetProcessPriority(h.Id()), 0x40u);
  EXPECT_TRUE(SetProcessPriority(h.Id(), 0x20));
  StopProcess(h.Id());
  EXPECT_EQ(h.Wait(15000), 0);
}

TEST(ProcessOps, AnEndedProcessIsNotTerminatedAgain) {
  harness::SavedProcessApi saved;
  static int terminations;
  terminations = 0;
  Api().TerminateProcess = [](HANDLE, UINT) WINAPI -> BOOL {
    ++terminations;
    return TRUE;
  };
  harness::Process h = harness::StartHelper("windows 1 Gone");
  ASSERT_TRUE(h.Kill());
  StopProcess(h.Id());
  EXPECT_EQ(terminations, 0);
}

TEST(ProcessOps, AParentIdThatNamesAReusedIdentifierAdoptsNoOne) {
  // `older` names as its parent the ID `parent` holds now: a process that
  // started after it, so the ID was reused. `younger` is a true child.
  harness::Process older = harness::StartHelper("windows 1 Older");
  harness::Process parent = harness::StartHelper("windows 1 Parent");
  harness::Process younger = harness::StartHelper("windows 1 Younger");
  harness::SavedProcessApi saved;
  harness::FakeProcessSnapshot({{older.Id(), parent.Id()}, {parent.Id(), 1}, {younger.Id(), parent.Id()}});
  const std::vector<TreeMember> tree = ProcessTree(ReadProcessRecords(), parent.Id(), GetCurrentProcessId());
  ASSERT_EQ(tree.size(), 2u);
  EXPECT_EQ(tree[1].process.id, younger.Id());
}

namespace {
// Whether the debug privilege is switched on in this process's token now.
bool DebugPrivilegeOn() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  base::UniqueHandle owned(token);
  LUID debug{};
  LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &debug);
  alignas(8) unsigned char room[4096];
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenPrivileges, room, sizeof room, &size)) return false;
  const auto* p = reinterpret_cast<const TOKEN_PRIVILEGES*>(room);
  for (DWORD i = 0; i < p->PrivilegeCount && i < 128; ++i)
    if (p->Privileges[i].Luid.LowPart == debug.LowPart && p->Privileges[i].Luid.HighPart == debug.HighPart)
      return (p->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) != 0;
  return false;
}
}  // namespace

TEST(ProcessOps, AnOperationOnOneThreadLeavesTheDebugPrivilegeToAnotherStillUnderWay) {
  ASSERT_FALSE(DebugPrivilegeOn());
  harness::Process h = harness::StartHelper("windows 1 Priv");
  {
    DebugPrivilegeScope reading;  // as the worker's reload holds it
    ASSERT_TRUE(reading.Enabled());
    // A selection's reading on another thread opens and closes its own hold.
    struct Args { DWORD pid; uint32_t priority; } args{h.Id(), 0};
    base::UniqueHandle other(CreateThread(nullptr, 0, [](void* a) WINAPI -> DWORD {
      auto* args = static_cast<Args*>(a);
      args->priority = GetProcessPriority(args->pid);
      return 0;
    }, &args, 0, nullptr));
    ASSERT_TRUE(other);
    ASSERT_EQ(WaitForSingleObject(other.get(), 20000), WAIT_OBJECT_0);
    EXPECT_EQ(args.priority, static_cast<uint32_t>(NORMAL_PRIORITY_CLASS));
    EXPECT_TRUE(DebugPrivilegeOn()) << "the other thread's end switched it off";
  }
  EXPECT_FALSE(DebugPrivilegeOn()) << "the last hold left it on";
}

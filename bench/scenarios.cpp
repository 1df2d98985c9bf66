#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/control_ids.h"
#include "app/texts.h"
#include "bench/bench.h"
#include "tests/native/version_block_builder.h"
#include "tests/win/crafted_exe.h"

using namespace harness;

double VorlaneRun::StartToList(int processes) {
  const std::string dir = TestDir() + "bench_copy";
  const std::string exe = dir + "\\VorlaneBench.exe";
  CreateDirectoryA(dir.c_str(), nullptr);
  CopyFileA(VorlaneExe().c_str(), exe.c_str(), FALSE);
  const double t0 = Now();
  if (!app.Start("\"" + exe + "\"")) return -1;
  const bool listed = WaitFor([&] {
    form = FindTopWindow(app.Id(), "TForm1");
    list = form ? FindChild(form, kIdList) : nullptr;
    return list && SendMessageA(list, LB_GETCOUNT, 0, 0) >= processes;
  }, 300000);
  return listed ? Now() - t0 : -1;
}

void VorlaneRun::Settle() const {
  SendMessageA(form, WM_NULL, 0, 0);
  RedrawWindow(form, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  WaitForInputIdle(app.Handle(), 10000);
}

double VorlaneRun::Reload(double* worstAnswer) const {
  const HWND status = FindChild(form, kIdStatusBar);
  auto loading = [&] { return TextOf(status) == texts::kLoading; };
  const double t0 = Now();
  SendMessageA(FindChild(form, kIdReget), BM_CLICK, 0, 0);
  double worst = 0;
  while (loading() && Now() - t0 < 300000) {
    const double asked = Now();
    if (worstAnswer) {
      DWORD_PTR answer = 0;
      SendMessageTimeoutA(form, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &answer);
      worst = std::max(worst, Now() - asked);
    }
    while (Now() - asked < (worstAnswer ? 10 : 2)) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
  if (worstAnswer) *worstAnswer = worst;
  return Now() - t0;
}

bool ReadProcessList(std::vector<unsigned char>& buf) {
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  static const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  buf.resize(4 << 20);
  ULONG needed = 0;
  return query && query(5, buf.data(), static_cast<ULONG>(buf.size()), &needed) >= 0;
}

unsigned long long VorlaneRun::CpuTime() const {
  std::vector<unsigned char> buf;
  if (!ReadProcessList(buf)) return 0;
  for (size_t at = 0; at + 128 <= buf.size();) {
    const unsigned char* r = buf.data() + at;
    DWORD pid, next;
    unsigned long long user, kernel;
    std::memcpy(&next, r, 4);
    std::memcpy(&pid, r + 68, 4);
    std::memcpy(&user, r + 40, 8);
    std::memcpy(&kernel, r + 48, 8);
    if (pid == app.Id()) return user + kernel;
    if (next == 0) break;
    at += next;
  }
  return 0;
}

void VorlaneRun::Close() {
  if (!app.Running()) return;
  if (form) PostMessageA(form, WM_CLOSE, 0, 0);
  if (app.Wait(30000) == -1) {
    std::printf("# bench: Vorlane did not close; ended\n");
    app.Kill();
    app.Wait(10000);
  }
  form = list = nullptr;
}

std::vector<double> BareListFill(HWND like, const std::vector<std::vector<std::string>>& texts,
                                 int runs) {
  RECT r{};
  GetClientRect(like, &r);
  const LRESULT itemHeight = SendMessageA(like, LB_GETITEMHEIGHT, 0, 0);
  Process bare;
  if (!bare.Start("\"" + TestDir() + "helper.exe\" listbox " + std::to_string(r.right) + " " +
                  std::to_string(r.bottom) + " " + std::to_string(itemHeight)))
    return {-1};
  HWND host = nullptr;
  const std::string ready = "ready " + std::to_string(bare.Id());
  if (!WaitFor([&] {
        host = FindTopWindow(bare.Id(), "VorlaneBareList");
        return host && FindWindowA(nullptr, ready.c_str());
      }, 60000))
    return {-1};
  std::vector<std::string> packed(texts.size());
  for (size_t s = 0; s < texts.size(); ++s)
    for (const std::string& t : texts[s]) packed[s] += t + '\0';
  std::vector<double> ms;
  for (int k = 0; k < runs; ++k) {
    const size_t s = static_cast<size_t>(k) % texts.size();
    COPYDATASTRUCT data{.dwData = 0, .cbData = static_cast<DWORD>(packed[s].size()),
                        .lpData = packed[s].data()};
    SendMessageA(host, WM_NULL, 0, 0);
    RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double t0 = Now();
    SendMessageA(host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ms.push_back(Now() - t0);
    const LRESULT count = SendMessageA(GetWindow(host, GW_CHILD), LB_GETCOUNT, 0, 0);
    if (count != static_cast<LRESULT>(texts[s].size()))
      std::printf("# bench: the bare list box holds %ld of %zu texts\n", static_cast<long>(count),
                  texts[s].size());
  }
  bare.Kill();
  return ms;
}

namespace {

constexpr int kPrograms = 60, kCopiesEach = 5, kRuns = 7;

// Program k of the mix: its own names, version texts and icon colour.
bool MakeMixProgram(const std::string& path, int k) {
  const std::string id = std::to_string(k);
  return crafted::MakeProgram(
      path, {.version = vblock::SoundBlock("Mix Company " + id, "Mix program number " + id),
             .iconGroup = crafted::IconGroup(1, 1),
             .icon = true,
             .iconColour = static_cast<uint32_t>(0x102030 + k * 0x030507)});
}

}  // namespace

bool MeasureMix() {
  const std::string dir = TestDir() + "bench_mix";
  CreateDirectoryA(dir.c_str(), nullptr);
  std::vector<Process> running;
  for (int k = 0; k < kPrograms; ++k) {
    const std::string path = dir + "\\mix" + std::to_string(k) + ".exe";
    if (!MakeMixProgram(path, k)) {
      std::printf("# bench: mix program %d could not be made\n", k);
      return false;
    }
    for (int c = 0; c < kCopiesEach; ++c) {
      running.emplace_back();
      running.back().Start("\"" + path + "\" windows 1 Mix" + std::to_string(k));
    }
  }
  for (Process& p : running) {
    const std::string ready = "ready " + std::to_string(p.Id());
    if (!WaitFor([&] { return FindWindowA(nullptr, ready.c_str()) != nullptr; }, 60000)) {
      std::printf("# bench: a mix program never got ready\n");
      return false;
    }
  }
  DWORD all[16384], bytes = 0;
  EnumProcesses(all, sizeof all, &bytes);
  VorlaneRun v;
  if (v.StartToList(static_cast<int>(bytes / 4)) < 0) {
    std::printf("# bench: Vorlane did not list the mix\n");
    return false;
  }
  std::vector<double> reload, floor;
  for (int r = 0; r < kRuns; ++r) {
    v.Settle();
    reload.push_back(v.Reload());
    const double t0 = Now();
    FloorPass();
    floor.push_back(Now() - t0);
  }
  Report("mix", "reload", reload);
  Report("mix", "floor", floor);
  std::printf("mix processes %d\n", static_cast<int>(bytes / 4));
  v.Close();
  for (Process& p : running) p.Kill();
  return true;
}

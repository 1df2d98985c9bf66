// The real program driven from outside, the stand-in DDE server, and
// registry settings that a test puts back.
#include "harness.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/texts.h"

namespace harness {

App::App(const std::string& exe, const std::string& arguments, const std::string& layer) {
  const std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  const bool started = layer.empty() ? process.Start(command)
                                     : process.Start(command, CREATE_SUSPENDED) &&
                                           LoadInto(process, layer) && process.Resume();
  if (!started) {
    ADD_FAILURE() << exe << " did not start";
    throw StartFailed(exe);
  }
  const bool ready = WaitFor([&] { return (form = FindTopWindow(process.Id(), "TForm1")) && ListCount() > 0; },
                             30000);
  // The process tab stands before the window titles are in: the first load
  // has ended when the status bar no longer says it is loading.
  const bool idle = ready && WaitForInputIdle(process.Handle(), 20000) == 0 && WaitFor([&] { return Loaded(); }, 30000);
  if (!idle) {
    ADD_FAILURE() << exe << (ready ? " stayed busy after its first load" : " showed no filled list")
                  << (process.Running() ? "" : " and ended with code " + std::to_string(process.Wait(0)));
    if (form) PostMessageA(form, WM_CLOSE, 0, 0);
    throw StartFailed(exe);
  }
}

App::~App() {
  if (form) PostMessageA(form, WM_CLOSE, 0, 0);
  // Wine destroys each top-level window in about 2 s on a bare display.
  if (process.Wait(20000) == -1) ADD_FAILURE() << "the program did not end after WM_CLOSE";
}

void App::Click(int id) const {
  Send(Ctl(id), BM_CLICK);
  if (!WaitFor([&] { return Loaded(); }, 30000)) ADD_FAILURE() << "a reload did not end";
}

bool App::Loaded() const { return TextOf(Ctl(kIdStatusBar)) != texts::kLoading; }

int App::ListCount() const { return static_cast<int>(Send(Ctl(kIdList), LB_GETCOUNT)); }

std::vector<std::string> App::Items() const { return ListItems(Ctl(kIdList)); }

int App::IndexOf(const std::string& prefix) const {
  auto items = Items();
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
  return -1;
}

bool App::SelectEntry(int index, DWORD pid) const {
  const std::string id = std::to_string(pid);
  HWND list = Ctl(kIdList);
  if (pid == 0 || !BringForward(form)) return false;
  return ClickUntil(form, ItemPoint(index),
                    [&] { return ListSelection(list) == index && TextOf(Ctl(kIdIdProcess)) == id; });
}

POINT App::ItemPoint(int index) const {
  HWND list = Ctl(kIdList);
  Send(list, LB_SETTOPINDEX, index);
  RECT r{};
  Send(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  POINT p{r.left + 200, (r.top + r.bottom) / 2};
  ClientToScreen(list, &p);
  return p;
}

void App::ClickItem(int index) const {
  const POINT p = ItemPoint(index);
  if (!BringForward(form)) ADD_FAILURE() << "the window did not come forward for a click";
  ClickAt(p.x, p.y);
}

HWND App::OpenConfirmation() const {
  HWND link = Ctl(kIdLink);
  PostMessageA(link, WM_LBUTTONDOWN, 0, 0);
  PostMessageA(link, WM_LBUTTONUP, 0, 0);
  HWND dialog = nullptr;
  if (!WaitFor([&] {
        dialog = FindTopWindow(process.Id(), "TMessageForm");
        return dialog && IsWindowVisible(dialog);
      }))
    return nullptr;
  return dialog;
}

DdeServer::DdeServer(const std::string& log) {
  DeleteFileA(log.c_str());
  EXPECT_TRUE(process_.Start("\"" + TestDir() + "dde_server.exe\" \"" + log + "\""));
  // The server shows this window once its service is registered. Asking it
  // over DDE from here would leave this process a DDE client of its own,
  // which under Wine can fault when the program later looks for servers.
  EXPECT_TRUE(WaitFor([&] { return FindTitled(process_.Id(), "dde ready") != nullptr; }))
      << "the DDE server showed no window";
}

DdeServer::~DdeServer() {
  if (HWND w = FindTitled(process_.Id(), "dde ready")) PostMessageA(w, WM_CLOSE, 0, 0);
  // Gone before the next test starts one of its own.
  EXPECT_GE(process_.Wait(10000), 0) << "the DDE server did not end";
}

RegistryValue::RegistryValue(HKEY root, const std::string& key, const std::string& name,
                             const std::string& value)
    : root_(root), key_(key), name_(name) {
  Set(REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

RegistryValue::RegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD value)
    : root_(root), key_(key), name_(name) {
  Set(REG_DWORD, &value, sizeof value);
}

namespace {
const std::pair<HKEY, const char*> kRoots[] = {
    {HKEY_CURRENT_USER, "HKCU"}, {HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_CLASSES_ROOT, "HKCR"}};

std::string JournalDir() { return TestDir() + "registry-journal"; }

// The value as it is: false when it is absent (or cannot be read whole).
bool ReadValue(HKEY k, const std::string& name, DWORD& type, std::string& data) {
  DWORD size = 0;
  if (RegQueryValueExA(k, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  data.assign(size, '\0');
  if (RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS)
    return false;
  data.resize(size);
  return true;
}

// Puts a value back as a journal entry describes it.
void PutBack(HKEY root, const std::string& key, const std::string& name, bool had, DWORD type,
             const std::string& data, bool createdKey) {
  HKEY k;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
  if (had)
    RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
  else
    RegDeleteValueA(k, name.c_str());
  RegCloseKey(k);
  if (createdKey) RegDeleteKeyA(root, key.c_str());
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
  return out;
}

std::string Unhex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}
}  // namespace

void RegistryValue::Set(DWORD type, const void* data, DWORD size) {
  HKEY k = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(root_, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, &disposition) !=
      ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot create " << key_;
    return;
  }
  createdKey_ = disposition == REG_CREATED_NEW_KEY;
  had_ = ReadValue(k, name_, type_, old_);
  // Journal first: the change must never outlive a test program that dies.
  const char* root = "";
  for (const auto& [h, n] : kRoots)
    if (h == root_) root = n;
  CreateDirectoryA(JournalDir().c_str(), nullptr);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  journal_ = JournalDir() + "\\" + std::to_string(now.QuadPart) + ".txt";
  std::ofstream(journal_, std::ios::binary) << root << '\n' << key_ << '\n' << name_ << '\n' << had_ << '\n'
                                            << type_ << '\n' << createdKey_ << '\n' << Hex(old_) << '\n';
  EXPECT_EQ(RegSetValueExA(k, name_.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS)
      << key_ << "\\" << name_;
  RegCloseKey(k);
}

RegistryValue::~RegistryValue() {
  PutBack(root_, key_, name_, had_, type_, old_, createdKey_);
  if (!journal_.empty()) DeleteFileA(journal_.c_str());
}

namespace {
// Journal entries left by a test program that died, newest first.
void ReplayRegistryJournal() {
  std::vector<std::string> entries;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((JournalDir() + "\\*.txt").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do entries.push_back(found.cFileName);
  while (FindNextFileA(find, &found));
  FindClose(find);
  std::sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() > b.size() : a > b;
  });
  for (const std::string& e : entries) {
    const std::string path = JournalDir() + "\\" + e;
    std::istringstream in(ReadFileBytes(path));
    std::string root, key, name, had, type, created, hex;
    if (std::getline(in, root) && std::getline(in, key) && std::getline(in, name) &&
        std::getline(in, had) && std::getline(in, type) && std::getline(in, created)) {
      std::getline(in, hex);
      for (const auto& [h, n] : kRoots)
        if (root == n)
          PutBack(h, key, name, had == "1", static_cast<DWORD>(std::stoul(type)), Unhex(hex), created == "1");
    }
    DeleteFileA(path.c_str());
  }
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.data(),
                                                         static_cast<int>(prefix.size()), prefix.data(),
                                                         static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

// Processes run from the build folder or from the test folders made on C:.
void EndLeftoverProcesses() {
  // The build folder: two up from the test programs' (build\win\tests).
  std::string build = TestDir();
  for (int up = 0; up < 2; ++up) build = build.substr(0, build.find_last_of('\\', build.size() - 2) + 1);
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  base::UniqueHandle snap(snapshot);
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  for (BOOL more = Process32First(snap.get(), &e); more; more = Process32Next(snap.get(), &e)) {
    if (e.th32ProcessID == GetCurrentProcessId()) continue;
    base::UniqueHandle p(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE |
                                         SYNCHRONIZE, FALSE, e.th32ProcessID));
    char path[MAX_PATH * 2] = {};
    if (!p || !GetModuleFileNameExA(p.get(), nullptr, path, sizeof path)) continue;
    if (!StartsWithNoCase(path, build) && !StartsWithNoCase(path, "C:\\vorlane")) continue;
    std::fprintf(stderr, "ending a leftover process %lu: %s\n", e.th32ProcessID, path);
    TerminateProcess(p.get(), 1);
    WaitForSingleObject(p.get(), 10000);
  }
}

// Markers (atoms named after a program's file name) of the program and the
// copies the tests make of it, left by a copy that was killed: every copy
// lies in the test programs' folder or one below it.
void RemoveLeftoverMarkers() {
  std::vector<std::string> names = {"Vorlane.exe"};
  std::vector<std::string> dirs = {TestDir()};
  WIN32_FIND_DATAA found;
  for (size_t d = 0; d < dirs.size(); ++d) {
    HANDLE find = FindFirstFileA((dirs[d] + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (d == 0) dirs.push_back(dirs[0] + name + "\\");
      } else if (StartsWithNoCase(name, "vorlane")) {
        names.push_back(name);
      }
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  for (const std::string& name : names)
    for (int i = 0; i < 100; ++i) {
      const ATOM atom = GlobalFindAtomA(name.c_str());
      if (!atom) break;
      GlobalDeleteAtom(atom);
    }
}
}  // namespace

void RestoreTestEnvironment() {
  EndLeftoverProcesses();
  ReplayRegistryJournal();
  RemoveLeftoverMarkers();
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

std::string CopyExe(const std::string& dir, const std::string& name) {
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string to = dir + "\\" + name;
  EXPECT_TRUE(CopyFileA(VorlaneExe().c_str(), to.c_str(), FALSE)) << to;
  return to;
}

}  // namespace harness

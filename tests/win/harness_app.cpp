// The real program driven from outside, the stand-in DDE server, and
// registry settings that a test puts back.
#include "harness.h"

#include <gtest/gtest.h>

#include "app/control_ids.h"

namespace harness {

App::App(const std::string& exe, const std::string& arguments) {
  EXPECT_TRUE(process.Start("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments))) << exe;
  const bool ready = WaitFor([&] { return (form = FindTopWindow(process.Id(), "TForm1")) && ListCount() > 0; },
                             20000);
  EXPECT_TRUE(ready) << exe << " showed no filled list";
  // The process tab stands before the window titles are in: the first load
  // has ended when the program waits for input again.
  EXPECT_EQ(WaitForInputIdle(process.Handle(), 20000), 0u) << exe << " stayed busy";
}

App::~App() {
  if (form) PostMessageA(form, WM_CLOSE, 0, 0);
  if (process.Wait(5000) == -1) ADD_FAILURE() << "the program did not end after WM_CLOSE";
}

int App::ListCount() const { return static_cast<int>(SendMessageA(Ctl(kIdList), LB_GETCOUNT, 0, 0)); }

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
  SetForegroundWindow(form);
  if (!WaitFor([&] { return GetForegroundWindow() == form; }, 5000)) return false;
  // Wine may spend the first click on a window that another process brought
  // forward on activating it; the second then selects. They are seconds
  // apart, never a double click.
  for (int attempt = 0; attempt < 2; ++attempt) {
    ClickItem(index);
    if (WaitFor([&] { return ListSelection(list) == index && TextOf(Ctl(kIdIdProcess)) == id; }, 3000))
      return true;
  }
  return false;
}

void App::ClickItem(int index) const {
  HWND list = Ctl(kIdList);
  SendMessageA(list, LB_SETTOPINDEX, index, 0);
  RECT r;
  SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  POINT p{r.left + 200, (r.top + r.bottom) / 2};
  ClientToScreen(list, &p);
  SetForegroundWindow(form);
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
  EXPECT_TRUE(WaitFor([] { return FindWindowA(nullptr, "dde ready") != nullptr; }))
      << "the DDE server showed no window";
}

DdeServer::~DdeServer() {
  if (HWND w = FindWindowA(nullptr, "dde ready")) PostMessageA(w, WM_CLOSE, 0, 0);
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

void RegistryValue::Set(DWORD type, const void* data, DWORD size) {
  const std::string &key = key_, &name = name_;
  HKEY root = root_, k = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                      &disposition) != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot create " << key;
    return;
  }
  createdKey_ = disposition == REG_CREATED_NEW_KEY;
  char old[1024] = {};
  DWORD oldSize = sizeof old, oldType = 0;
  had_ = RegQueryValueExA(k, name.c_str(), nullptr, &oldType, reinterpret_cast<BYTE*>(old), &oldSize) ==
         ERROR_SUCCESS;
  old_.assign(old, had_ ? oldSize : 0);
  type_ = oldType;
  EXPECT_EQ(RegSetValueExA(k, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS)
      << key << "\\" << name;
  RegCloseKey(k);
}

RegistryValue::~RegistryValue() {
  HKEY k;
  if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
  if (had_)
    RegSetValueExA(k, name_.c_str(), 0, type_, reinterpret_cast<const BYTE*>(old_.data()),
                   static_cast<DWORD>(old_.size()));
  else
    RegDeleteValueA(k, name_.c_str());
  RegCloseKey(k);
  if (createdKey_) RegDeleteKeyA(root_, key_.c_str());
}

std::string CopyExe(const std::string& dir, const std::string& name) {
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string to = dir + "\\" + name;
  EXPECT_TRUE(CopyFileA(VorlaneExe().c_str(), to.c_str(), FALSE)) << to;
  return to;
}

}  // namespace harness

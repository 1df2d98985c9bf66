// The real Vorlane.exe as the GUI tests start and drive it from outside.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "harness.h"

namespace gui {

using namespace harness;

// A running Vorlane with its main window found.
struct App {
  Process process;
  HWND form = nullptr;

  explicit App(const std::string& exe = VorlaneExe()) {
    EXPECT_TRUE(process.Start("\"" + exe + "\""));
    WaitFor([&] { return (form = FindTopWindow(process.Id(), "TForm1")) && ListCount() > 0; },
            20000);
  }
  ~App() {
    if (form) PostMessageA(form, WM_CLOSE, 0, 0);
    process.Wait(5000);
  }
  HWND Ctl(int id) const { return FindChild(form, id); }
  int ListCount() const { return static_cast<int>(SendMessageA(FindChild(form, kIdList), LB_GETCOUNT, 0, 0)); }
  std::vector<std::string> Items() const { return ListItems(Ctl(kIdList)); }
  int IndexOf(const std::string& prefix) const {
    auto items = Items();
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
  }
  void Click(int id) const { SendMessageA(Ctl(id), BM_CLICK, 0, 0); }
  // Clicks entry `index` until the details panel shows process `pid`: the
  // first real click may only bring the window forward.
  bool SelectEntry(int index, DWORD pid) const {
    return WaitFor([&] {
      if (TextOf(Ctl(kIdIdProcess)) == std::to_string(pid)) return true;
      ClickItem(index);
      Sleep(200);
      return false;
    });
  }
  void ClickItem(int index) const {
    HWND list = Ctl(kIdList);
    SendMessageA(list, LB_SETTOPINDEX, index, 0);
    RECT r;
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    POINT p{r.left + 200, (r.top + r.bottom) / 2};
    ClientToScreen(list, &p);
    SetForegroundWindow(form);
    ClickAt(p.x, p.y);
  }
};

inline std::string CopyExe(const std::string& dir, const std::string& name) {
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string to = dir + "\\" + name;
  CopyFileA(VorlaneExe().c_str(), to.c_str(), FALSE);
  return to;
}

inline std::string Prefix(DWORD pid) { return "[ " + std::to_string(pid) + " : helper.exe ]"; }

}  // namespace gui

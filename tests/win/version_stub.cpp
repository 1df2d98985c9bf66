// An executable that exists for its version resource. Started with "stay"
// it keeps running, with a hidden window titled "ready <pid>", until killed.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmd, int) {
  if (lstrcmpA(cmd, "stay") != 0) return 0;
  const std::string ready = "ready " + std::to_string(GetCurrentProcessId());
  CreateWindowExA(0, "STATIC", ready.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                  nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

// A stand-in web browser: serves "IExplore"/"WWW_openUrl" and writes every
// execute command it receives, zero bytes included, to the file named
// first on its command line. A hidden window titled "dde ready" shows it
// is registered; WM_CLOSE ends it.
#include <windows.h>
#include <ddeml.h>

#include <cstdio>

namespace {
DWORD g_inst = 0;
const char* g_log = nullptr;

HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ hsz1, HSZ hsz2, HDDEDATA data, ULONG_PTR,
                           ULONG_PTR) {
  switch (type) {
    case XTYP_CONNECT: {
      char service[64] = {}, topic[64] = {};
      DdeQueryStringA(g_inst, hsz2, service, sizeof service, CP_WINANSI);
      DdeQueryStringA(g_inst, hsz1, topic, sizeof topic, CP_WINANSI);
      return reinterpret_cast<HDDEDATA>(lstrcmpiA(service, "IExplore") == 0 &&
                                        lstrcmpiA(topic, "WWW_openUrl") == 0);
    }
    case XTYP_EXECUTE: {
      DWORD size = DdeGetData(data, nullptr, 0, 0);
      char buf[1024] = {};
      if (size > sizeof buf) size = sizeof buf;
      DdeGetData(data, reinterpret_cast<LPBYTE>(buf), size, 0);
      if (FILE* f = std::fopen(g_log, "ab")) {
        std::fwrite(buf, 1, size, f);
        std::fclose(f);
      }
      return reinterpret_cast<HDDEDATA>(DDE_FACK);
    }
  }
  return nullptr;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  g_log = __argv[1];
  if (DdeInitializeA(&g_inst, Callback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS, 0) != DMLERR_NO_ERROR)
    return 3;
  HSZ service = DdeCreateStringHandleA(g_inst, "IExplore", CP_WINANSI);
  DdeNameService(g_inst, service, nullptr, DNS_REGISTER);
  CreateWindowExA(0, "STATIC", "dde ready", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_CLOSE) break;
    DispatchMessageA(&msg);
  }
  DdeNameService(g_inst, service, nullptr, DNS_UNREGISTER);
  DdeFreeStringHandle(g_inst, service);
  DdeUninitialize(g_inst);
  return 0;
}

// Stands in for a browser executable: appends its command line and the show
// command it was started with to the file named by VORLANE_STUB_LOG.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  const char* log = std::getenv("VORLANE_STUB_LOG");
  if (!log) return 1;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  GetStartupInfoA(&si);
  if (FILE* f = std::fopen(log, "ab")) {
    std::fprintf(f, "show=%d flags=%lu cmd=%s\n", show, si.dwFlags, GetCommandLineA());
    std::fclose(f);
  }
  return 0;
}

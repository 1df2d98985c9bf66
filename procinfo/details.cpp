#include "procinfo/details.h"

#include "procinfo/app_windows.h"
#include "procinfo/process_ops.h"

LiveDetails ReadLiveDetails(DWORD pid) {
  LiveDetails d;
  d.PriorityClass = GetProcessPriority(pid);
  d.WindowTitles = CollectWindowTitles(pid, false);
  return d;
}

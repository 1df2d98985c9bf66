#include "procinfo/details.h"

#include "procinfo/app_windows.h"
#include "procinfo/process_ops.h"
#include "procinfo/title_budget.h"

LiveDetails ReadLiveDetails(DWORD pid) {
  LiveDetails d;
  d.PriorityClass = GetProcessPriority(pid);
  TitleBudget budget;  // slow windows cost this selection a second at most
  d.WindowTitles = CollectWindowTitles(pid, false, budget);
  return d;
}

// The three-line text each list entry shows.
#pragma once
#include <string>

#include "app/list_tab.h"
#include "procinfo/entry_line.h"

// "[ %u : %s ] %s\r\n　　会社：%s\r\n　　説明：%s"; the second %s is the path
// on the process tab and the window title on the application tab. Each field
// longer than its room is cut on a character boundary and ends with "…", so
// that any reader of the list can take a whole entry.
std::string EntryText(const TQorSvc& svc, ListTab tab);

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

// The entry as the list shows it on the NT family, in UTF-16. An entry whose
// names are all code page 932 is its EntryText, widened. A name with a true
// form shows that, cut to the same room counted in UTF-16 units, each unit
// but ASCII counting 2: an ANSI reader's copy (at most 2 bytes a unit) and a
// wide reader's both stay within what every reader can take.
std::wstring EntryTextWide(const TQorSvc& svc, ListTab tab, Widen widen);

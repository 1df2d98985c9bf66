// The three-line text each list entry shows.
#pragma once
#include <string>
#include <string_view>

#include "model/list_tab.h"
#include "base/code_page.h"
#include "model/entry.h"

// "[ %u : %s ] %s\r\n　　会社：%s\r\n　　説明：%s"; the second %s is the path
// on the process tab and the window title on the application tab. Each field
// longer than its room is cut on a character boundary and ends with "…".
// Room is counted in code page 932 bytes: a character counts the bytes that
// code page gives it, any other unit 2. So an entry the code page holds is,
// in that code page, exactly the text cut in bytes, and any entry's copy for
// an ANSI reader (at most 2 bytes a unit) stays within what every reader of
// the list can take. `widen` converts the fixed texts.
std::wstring EntryText(const TQorSvc& svc, ListTab tab, Widen widen);

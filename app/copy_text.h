// The text Copy puts on the clipboard for one entry.
#pragma once
#include <string>
#include <vector>

#include "procinfo/entry_line.h"

// The details panel's copied rows in panel order: a labelled row as one
// line after its label, the memo's window titles as it lists them. Lines end
// with CR LF; the text is in code page 932 like every text of the program.
std::string EntryCopyText(const TQorSvc& svc, const std::vector<std::string>& titles);

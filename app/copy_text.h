// The text Copy puts on the clipboard for one entry.
#pragma once
#include <string>
#include <vector>

#include "app/detail_rows.h"
#include "procinfo/entry_line.h"

// The details panel's copied rows in panel order: a labelled row as one
// line after its label, the memo's window titles as it lists them. Lines end
// with CR LF; the text is in code page 932 like every text of the program.
std::string EntryCopyText(const TQorSvc& svc, const std::vector<std::string>& titles);

// The same lines with the true names and titles, for the Unicode copy.
std::wstring EntryCopyTextWide(const TQorSvc& svc, const EntryTitles& titles, Widen widen);

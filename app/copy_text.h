// The text Copy puts on the clipboard for one entry.
#pragma once
#include <string>
#include <vector>

#include "procinfo/entry_line.h"

// Process ID, image name, company, description and executable file, one a
// line after the details panel's own labels, then the titles of the
// process's application windows as the panel's memo lists them. Lines end
// with CR LF; the text is in code page 932 like every text of the program.
std::string EntryCopyText(const TQorSvc& svc, const std::vector<std::string>& titles);

// The entry record and the tab-separated text line every list entry is kept as.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

struct TQorSvc {
  uint32_t idProcess = 0;
  std::string DisplayName;
  std::string FileName;
  std::string Company;
  std::string Description;
  std::string WindowText;  // application-tab entries only
};

// "%8X\t%s\t%s\t%s\t%s\t%s\t" of the record's six fields. A TAB, CR or LF in
// the name, path, company or description becomes a blank; the window title
// is written as it is.
std::string EntryLine(const TQorSvc& svc);

// Parses an EntryLine: every TAB becomes a line break, then the text is
// split as SplitLines does and the record takes the first six pieces.
void LineToSvc(std::string_view line, TQorSvc& svc);

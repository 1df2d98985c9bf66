// The entry record and the tab-separated text line every list entry is kept as.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TQorSvc {
  uint32_t idProcess = 0;
  std::string DisplayName;
  std::string FileName;
  std::string Company;
  std::string Description;
  std::string WindowText;  // application-tab entries only
};

// "%8X": upper-case hex, right-aligned in 8 columns, blank-padded.
std::string HexId(uint32_t id);

// "%8X\t%s\t%s\t%s\t%s\t%s\t" of the record's six fields. A TAB, CR or LF in
// the name, path, company or description becomes a blank; the window title
// is written as it is.
std::string EntryLine(const TQorSvc& svc);

// Reads the "%8X" text back. Blanks count as "0"; characters 1-4 are the
// high half, 5-8 the low half. A half holding anything but hex digits reads
// as 0, so malformed text gives a number, never a fault.
uint32_t HexToDWord(std::string_view text);

// Splits at CR LF, lone CR or lone LF; a NUL ends the text. A final break adds no line, an empty
// text has no lines, and an empty line between two breaks counts.
std::vector<std::string_view> SplitLines(std::string_view text);

// Parses an EntryLine: every TAB becomes a line break, then the text is
// split as above and the record takes the first six pieces.
void LineToSvc(std::string_view line, TQorSvc& svc);

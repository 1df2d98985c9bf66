// The entry record and the tab-separated text line every list entry is kept as.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

// The true forms of a record's names, kept beside its code page 932 fields
// for showing: each empty where code page 932 holds the whole name.
struct TrueNames {
  std::wstring DisplayName, FileName, WindowText;
  bool Any() const { return !DisplayName.empty() || !FileName.empty() || !WindowText.empty(); }
};

// Code page 932 text in UTF-16: the system's conversion in the program.
using Widen = std::wstring (*)(std::string_view text);

// What a field shows: its true form where it has one, else its code page text.
inline std::wstring TrueField(const std::string& shown, const std::wstring& trueForm, Widen widen) {
  return trueForm.empty() ? widen(shown) : trueForm;
}

// True names as the entry line keeps its fields: a TAB, CR or LF in the
// name or path becomes a blank, and the title ends before the first one.
TrueNames AsInLine(TrueNames names);

struct TQorSvc {
  uint32_t idProcess = 0;
  std::string DisplayName;
  std::string FileName;
  std::string Company;
  std::string Description;
  std::string WindowText;  // application-tab entries only
  TrueNames True;          // not part of the entry line
};

// "%8X\t%s\t%s\t%s\t%s\t%s\t" of the record's six fields. A TAB, CR or LF in
// the name, path, company or description becomes a blank; the window title
// is written as it is.
std::string EntryLine(const TQorSvc& svc);

// Parses an EntryLine: every TAB becomes a line break, then the text is
// split as SplitLines does and the record takes the first six pieces (its
// true names are empty).
void LineToSvc(std::string_view line, TQorSvc& svc);

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

// What an application entry's title ends with while its window does not
// answer (a screen reader reads it with the title): code page 932 and UTF-16.
inline constexpr char kNotRespondingMark[] = " (応答なし)";
inline constexpr wchar_t kNotRespondingMarkWide[] = L" (\u5FDC\u7B54\u306A\u3057)";

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

// Marks the record's window title (and its true form) as not answering; the
// title first ends where the entry line would end it, so the mark stays.
void MarkNotResponding(TQorSvc& svc);

// "%8X\t%s\t%s\t%s\t%s\t%s\t" of the record's six fields. A TAB, CR or LF in
// the name, path, company or description becomes a blank; the window title
// is written as it is.
std::string EntryLine(const TQorSvc& svc);

// Parses an EntryLine: every TAB becomes a line break, then the text is
// split as SplitLines does and the record takes the first six pieces (its
// true names are empty).
void LineToSvc(std::string_view line, TQorSvc& svc);

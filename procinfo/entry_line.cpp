#include "procinfo/entry_line.h"

#include <algorithm>

namespace {

// A field read from a file may hold separators; as blanks they cannot start
// another field or line. CP932 trail bytes are never TAB, CR or LF.
void AppendBlanked(std::string& line, const std::string& field) {
  for (char c : field) line += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
}

}  // namespace

std::string EntryLine(const TQorSvc& s) {
  std::string line = HexId(s.idProcess);
  for (const std::string* piece : {&s.DisplayName, &s.FileName, &s.Company, &s.Description}) {
    line += '\t';
    AppendBlanked(line, *piece);
  }
  line += '\t';
  line += s.WindowText;
  line += '\t';
  return line;
}

TrueNames AsInLine(TrueNames names) {
  for (std::wstring* field : {&names.DisplayName, &names.FileName})
    for (wchar_t& c : *field)
      if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  const size_t end = names.WindowText.find_first_of(std::wstring_view(L"\t\r\n\0", 4));
  if (end != std::wstring::npos) names.WindowText.resize(end);
  return names;
}

void LineToSvc(std::string_view line, TQorSvc& svc) {
  svc = TQorSvc{};
  std::string text;
  text.reserve(line.size() + 8);
  for (char c : line) {
    if (c == '\t') text += "\r\n"; else text += c;
  }
  std::vector<std::string_view> pieces = SplitLines(text);
  std::string* fields[] = {&svc.DisplayName, &svc.FileName, &svc.Company,
                           &svc.Description, &svc.WindowText};
  if (!pieces.empty()) svc.idProcess = HexToDWord(pieces[0]);
  for (size_t k = 1; k < pieces.size() && k <= 5; ++k) fields[k - 1]->assign(pieces[k]);
}

void MarkNotResponding(TQorSvc& s) {
  s.WindowText.resize(std::min(s.WindowText.find_first_of("\t\r\n"), s.WindowText.size()));
  s.WindowText += kNotRespondingMark;
  if (s.True.WindowText.empty()) return;
  s.True = AsInLine(std::move(s.True));
  s.True.WindowText += kNotRespondingMarkWide;
}

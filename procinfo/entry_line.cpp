#include "procinfo/entry_line.h"

#include <cstdio>

std::string HexId(uint32_t id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%8X", static_cast<unsigned>(id));
  return buf;
}

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

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c == ' ') return 0;
  return -1;
}

uint32_t HexHalf(std::string_view text, size_t from) {
  uint32_t value = 0;
  for (size_t i = from; i < from + 4 && i < text.size(); ++i) {
    int d = HexDigit(text[i]);
    if (d < 0) return 0;
    value = value * 16 + static_cast<uint32_t>(d);
  }
  return value;
}

}  // namespace

uint32_t HexToDWord(std::string_view text) {
  return HexHalf(text, 0) * 65536u + HexHalf(text, 4);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));  // a NUL ends the text
  std::vector<std::string_view> lines;
  size_t start = 0, i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(text.substr(start, i - start));
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
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

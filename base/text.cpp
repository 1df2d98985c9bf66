#include "base/text.h"

#include <cstdio>

std::string HexId(uint32_t id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%8X", static_cast<unsigned>(id));
  return buf;
}

std::vector<std::wstring_view> SplitLines(std::wstring_view text) {
  text = text.substr(0, text.find(L'\0'));  // a NUL ends the text
  std::vector<std::wstring_view> lines;
  size_t start = 0, i = 0;
  while (i < text.size()) {
    const wchar_t c = text[i];
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


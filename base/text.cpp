#include "base/text.h"

#include <cstdio>

std::string HexId(uint32_t id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%8X", static_cast<unsigned>(id));
  return buf;
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

namespace {

template <typename Char>
std::vector<std::basic_string_view<Char>> SplitLinesOf(std::basic_string_view<Char> text) {
  text = text.substr(0, text.find(Char{}));  // a NUL ends the text
  std::vector<std::basic_string_view<Char>> lines;
  size_t start = 0, i = 0;
  while (i < text.size()) {
    const Char c = text[i];
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

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) { return SplitLinesOf(text); }
std::vector<std::wstring_view> SplitLines(std::wstring_view text) { return SplitLinesOf(text); }


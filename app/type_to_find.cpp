#include "app/type_to_find.h"

#include <algorithm>

namespace {

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (Lower(s[i]) != Lower(prefix[i])) return false;
  return true;
}

bool Matches(const FindKey& key, std::string_view text) {
  if (text[0] >= '0' && text[0] <= '9') return std::to_string(key.id).rfind(text, 0) == 0;
  return StartsWithNoCase(key.name, text);
}

}  // namespace

bool TypeToFind::Type(char c, uint32_t nowMs) {
  const bool continuing = !text_.empty() && nowMs - last_ <= kPauseMs;
  if (!IsAsciiAlnum(c) && !(continuing && c > ' ' && c < 0x7F)) return false;
  if (!continuing) text_.clear();
  text_ += c;
  last_ = nowMs;
  return true;
}

int FindEntry(const std::vector<FindKey>& keys, std::string_view text, int current) {
  const int n = static_cast<int>(keys.size());
  if (n == 0 || text.empty()) return -1;
  if (current < 0 || current >= n) current = -1;
  const bool repeated = std::all_of(text.begin(), text.end(), [&](char c) { return c == text[0]; });
  // A repeated character steps on from the current entry; a longer text may stay on it.
  const std::string_view wanted = repeated ? text.substr(0, 1) : text;
  const int first = repeated || current < 0 ? current + 1 : current;
  for (int k = 0; k < n; ++k) {
    const int i = (first + k) % n;
    if (Matches(keys[static_cast<size_t>(i)], wanted)) return i;
  }
  return -1;
}

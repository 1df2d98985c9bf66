#include "app/type_to_find.h"

#include "base/path_text.h"

namespace {

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool IsLeadByte(char c) { return IsCp932LeadByte(Byte(c)); }

bool IsTrailByte(char c) { return Byte(c) >= 0x40 && Byte(c) <= 0xFC && Byte(c) != 0x7F; }

// Half-width katakana and their punctuation: one byte each.
bool IsHalfWidthKana(char c) { return Byte(c) >= 0xA1 && Byte(c) <= 0xDF; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Bytes of the character at `i`: two for a lead byte with a byte after it.
size_t CharSize(std::string_view s, size_t i) { return IsLeadByte(s[i]) && i + 1 < s.size() ? 2 : 1; }

// ASCII letters compare without case; double-byte characters byte for byte,
// so that a trail byte that looks like a letter is not folded.
bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size();) {
    const size_t n = CharSize(prefix, i);
    if (n == 2 ? s.substr(i, 2) != prefix.substr(i, 2) : Lower(s[i]) != Lower(prefix[i])) return false;
    i += n;
  }
  return true;
}

bool Matches(const FindKey& key, std::string_view text) {
  if (text[0] >= '0' && text[0] <= '9') return std::to_string(key.id).rfind(text, 0) == 0;
  return StartsWithNoCase(key.name, text);
}

// True when `text` is one character typed once or more.
bool OneCharRepeated(std::string_view text) {
  const std::string_view first = text.substr(0, CharSize(text, 0));
  for (size_t i = 0; i < text.size(); i += first.size())
    if (text.substr(i, first.size()) != first) return false;
  return true;
}

}  // namespace

TypeToFind::Typed TypeToFind::Type(char c, uint32_t nowMs) {
  Typed result = Typed::Ignored;
  if (lead_) {
    const char lead = lead_;
    lead_ = 0;
    if (IsTrailByte(c)) {
      const char pair[] = {lead, c};
      Add({pair, 2}, true, nowMs, result);
      return result;
    }
    // A lead byte without its trail byte is dropped; `c` stands on its own.
  }
  if (IsLeadByte(c)) {
    lead_ = c;
    return Typed::Held;
  }
  Add({&c, 1}, IsAsciiAlnum(c) || IsHalfWidthKana(c), nowMs, result);
  return result;
}

void TypeToFind::Add(std::string_view ch, bool canStart, uint32_t nowMs, Typed& result) {
  const bool continuing = !text_.empty() && nowMs - last_ <= kPauseMs;
  const bool printableAscii = Byte(ch[0]) > ' ' && Byte(ch[0]) < 0x7F;
  if (!canStart && !(continuing && printableAscii)) return;
  if (!continuing) text_.clear();
  text_ += ch;
  last_ = nowMs;
  result = Typed::Search;
}

int FindEntry(const std::vector<FindKey>& keys, std::string_view text, int current) {
  const int n = static_cast<int>(keys.size());
  if (n == 0 || text.empty()) return -1;
  if (current < 0 || current >= n) current = -1;
  const bool repeated = OneCharRepeated(text);
  // A repeated character steps on from the current entry; a longer text may stay on it.
  const std::string_view wanted = repeated ? text.substr(0, CharSize(text, 0)) : text;
  const int first = repeated || current < 0 ? current + 1 : current;
  for (int k = 0; k < n; ++k) {
    const int i = (first + k) % n;
    if (Matches(keys[static_cast<size_t>(i)], wanted)) return i;
  }
  return -1;
}

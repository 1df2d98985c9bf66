#include "app/type_to_find.h"

#include "base/code_page.h"

namespace {

bool IsAsciiAlnum(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool IsTrailByte(char c) { return Byte(c) >= 0x40 && Byte(c) <= 0xFC && Byte(c) != 0x7F; }

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Units of the character at `i`: two for a whole surrogate pair.
size_t CharSize(std::wstring_view s, size_t i) {
  return IsHigh(s[i]) && i + 1 < s.size() && IsLow(s[i + 1]) ? 2 : 1;
}

// ASCII letters compare without case, every other unit as it is.
bool StartsWithNoCase(std::wstring_view s, std::wstring_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (Lower(s[i]) != Lower(prefix[i])) return false;
  return true;
}

bool Matches(const FindKey& key, std::wstring_view text) {
  if (text[0] >= L'0' && text[0] <= L'9') return std::to_wstring(key.id).rfind(text, 0) == 0;
  return StartsWithNoCase(key.name, text);
}

// True when `text` is one character typed once or more.
bool OneCharRepeated(std::wstring_view text) {
  const std::wstring_view first = text.substr(0, CharSize(text, 0));
  for (size_t i = 0; i < text.size(); i += first.size())
    if (text.substr(i, first.size()) != first) return false;
  return true;
}

}  // namespace

TypeToFind::Typed TypeToFind::Type(wchar_t c, uint32_t nowMs) {
  const wchar_t high = high_;
  high_ = 0;
  if (IsHigh(c)) {
    high_ = c;
    return Typed::Held;
  }
  if (IsLow(c)) {
    if (!high) return Typed::Ignored;  // half a character
    const wchar_t pair[] = {high, c};
    return Add({pair, 2}, nowMs);
  }
  // A high surrogate without its low one is dropped; `c` stands on its own.
  return Add({&c, 1}, nowMs);
}

TypeToFind::Typed TypeToFind::TypeByte(char c, uint32_t nowMs, Widen widen) {
  if (lead_) {
    const char lead = lead_;
    lead_ = 0;
    if (IsTrailByte(c)) {
      const char pair[] = {lead, c};
      const std::wstring wide = widen({pair, 2});
      return wide.empty() ? Typed::Ignored : Add(wide, nowMs);
    }
    // A lead byte without its trail byte is dropped; `c` stands on its own.
  }
  if (IsCp932LeadByte(Byte(c))) {
    lead_ = c;
    return Typed::Held;
  }
  const std::wstring wide = widen({&c, 1});
  return wide.empty() ? Typed::Ignored : Add(wide, nowMs);
}

TypeToFind::Typed TypeToFind::Add(std::wstring_view ch, uint32_t nowMs) {
  const bool continuing = !text_.empty() && nowMs - last_ <= kPauseMs;
  const bool canStart = IsAsciiAlnum(ch[0]) || ch[0] >= 0x80;
  const bool printableAscii = ch[0] > L' ' && ch[0] < 0x7F;
  if (!canStart && !(continuing && printableAscii)) return Typed::Ignored;
  if (!continuing) text_.clear();
  text_ += ch;
  last_ = nowMs;
  return Typed::Search;
}

int FindEntry(const std::vector<FindKey>& keys, std::wstring_view text, int current) {
  const int n = static_cast<int>(keys.size());
  if (n == 0 || text.empty()) return -1;
  if (current < 0 || current >= n) current = -1;
  const bool repeated = OneCharRepeated(text);
  // A repeated character steps on from the current entry; a longer text may stay on it.
  const std::wstring_view wanted = repeated ? text.substr(0, CharSize(text, 0)) : text;
  const int first = repeated || current < 0 ? current + 1 : current;
  for (int k = 0; k < n; ++k) {
    const int i = (first + k) % n;
    if (Matches(keys[static_cast<size_t>(i)], wanted)) return i;
  }
  return -1;
}

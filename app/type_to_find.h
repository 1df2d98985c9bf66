// Type to find in the list: characters typed within about a second of each
// other make one search text. A text that starts with a digit is looked for
// at the start of the process IDs, any other at the start of the image names
// as the list shows them, true to every script (ignoring ASCII case). Text
// is compared in UTF-16, so a character that code page 932 cannot hold finds
// only names that hold it. On the 9x family characters come as code page 932
// bytes: a double-byte character as its lead byte, then its trail byte.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct FindKey {
  std::wstring name;  // image name, as the entry shows it
  uint32_t id = 0;    // process ID
};

class TypeToFind {
 public:
  static constexpr uint32_t kPauseMs = 1000;
  // Code page 932 text in UTF-16.
  using Widen = std::wstring (*)(std::string_view text);

  enum class Typed {
    Ignored,  // takes no part in a search
    Held,     // a lead byte or high surrogate, kept until the rest comes
    Search,   // the text changed: look for it
  };
  // Takes a UTF-16 unit typed at `nowMs` (a millisecond tick that may wrap).
  // A letter, digit or non-ASCII character starts a search after a pause and
  // extends it before one; other printable ASCII only extends a search under
  // way.
  Typed Type(wchar_t c, uint32_t nowMs);
  // The same for a code page 932 byte, its characters widened by `widen`.
  Typed TypeByte(char c, uint32_t nowMs, Widen widen);
  const std::wstring& Text() const { return text_; }

 private:
  Typed Add(std::wstring_view ch, uint32_t nowMs);

  std::wstring text_;
  uint32_t last_ = 0;
  char lead_ = 0;     // a lead byte waiting for its trail byte; 0: none
  wchar_t high_ = 0;  // a high surrogate waiting for its low one; 0: none
};

// The entry to move to for `text` while entry `current` is selected (-1:
// none), or -1 when no entry matches. The same character typed again and
// again steps through the entries it begins, starting after `current`; a
// longer text keeps `current` while it still matches.
int FindEntry(const std::vector<FindKey>& keys, std::wstring_view text, int current);

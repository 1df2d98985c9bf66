// Type to find in the list: characters typed within about a second of each
// other make one search text. A text that starts with a digit is looked for
// at the start of the process IDs, any other at the start of the image names
// (ignoring ASCII case). Text is in code page 932: a double-byte character
// arrives as its lead byte and then its trail byte.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct FindKey {
  std::string name;  // image name
  uint32_t id = 0;   // process ID
};

class TypeToFind {
 public:
  static constexpr uint32_t kPauseMs = 1000;

  enum class Typed {
    Ignored,  // takes no part in a search
    Held,     // a lead byte, kept until its trail byte comes
    Search,   // the text changed: look for it
  };
  // Takes a byte typed at `nowMs` (a millisecond tick that may wrap). A
  // letter, digit or non-ASCII character starts a search after a pause and
  // extends it before one; other printable ASCII only extends a search under
  // way.
  Typed Type(char c, uint32_t nowMs);
  const std::string& Text() const { return text_; }

 private:
  void Add(std::string_view ch, bool canStart, uint32_t nowMs, Typed& result);

  std::string text_;
  uint32_t last_ = 0;
  char lead_ = 0;  // a lead byte waiting for its trail byte; 0: none
};

// The entry to move to for `text` while entry `current` is selected (-1:
// none), or -1 when no entry matches. The same character typed again and
// again steps through the entries it begins, starting after `current`; a
// longer text keeps `current` while it still matches.
int FindEntry(const std::vector<FindKey>& keys, std::string_view text, int current);

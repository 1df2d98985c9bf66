// Type to find in the list: characters typed within about a second of each
// other make one search text. A text that starts with a digit is looked for
// at the start of the process IDs, any other at the start of the image names
// (ignoring ASCII case).
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

  // Takes a character typed at `nowMs` (a millisecond tick that may wrap).
  // A letter or digit starts a search after a pause and extends it before
  // one; other printable ASCII only extends a search under way. False when
  // the character takes no part in a search.
  bool Type(char c, uint32_t nowMs);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  uint32_t last_ = 0;
};

// The entry to move to for `text` while entry `current` is selected (-1:
// none), or -1 when no entry matches. The same character typed again and
// again steps through the entries it begins, starting after `current`; a
// longer text keeps `current` while it still matches.
int FindEntry(const std::vector<FindKey>& keys, std::string_view text, int current);

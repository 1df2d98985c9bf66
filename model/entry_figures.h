// The figures one entry shows, as the list draws them; an ended entry is
// drawn dimmed.
#pragma once
#include <string>

struct EntryFigures {
  std::wstring first, second;
  bool ended = false;
  bool operator==(const EntryFigures&) const = default;
};

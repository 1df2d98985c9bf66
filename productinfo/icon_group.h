// The icon of an executable, checked and taken from one load of the file.
#pragma once
#include <windows.h>

#include <string>

#include "base/handles.h"

struct GroupIcon {
  // True when the file loaded as a module holds an icon group: then `icon`
  // is what extraction would give (none when the first group is malformed).
  // Otherwise the caller asks the shell, which also knows iconless files.
  bool hasGroup = false;
  base::UniqueIcon icon;
};

// The first icon group of a module loaded as a data file, checked (a count
// its size cannot hold, or icons it names that are missing, give no icon),
// and its image for the system's icon size, chosen as extraction chooses it.
GroupIcon FirstGroupIcon(HMODULE module);

// The same from the file itself, loaded once.
GroupIcon FirstGroupIcon(const std::wstring& readPath);
GroupIcon FirstGroupIcon(const std::string& ansiPath);

// The check before an executable's icon is extracted.
#pragma once
#include <string>

// False when the file's first icon group (the one icon extraction takes)
// is malformed: a count its size cannot hold, or icons it names that are
// missing. True when it is sound, and when the file has no icon group or
// cannot be read as a module (then extraction finds nothing to misread).
bool FirstIconGroupIsSound(const std::string& path);

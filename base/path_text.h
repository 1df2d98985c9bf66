// Text routines that turn reported image paths and command lines into an
// executable's path. They work on code page 932 text and never touch the
// file system; the environment is handed in, so the same code runs on
// Windows and in native tests.
#pragma once
#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/code_page.h"

struct TextEnv {
  // Value of an environment variable in code page 932; false when it is not set.
  std::function<bool(const std::string& name, std::string& value)> getenv;
};

// Longest text the path routines keep: a Windows path buffer less its zero.
constexpr size_t kMaxPathText = 259;

// Replaces the first %NAME% reference by the variable's value; text before
// the reference is kept. A value of 260 characters or more counts as unset.
void ExpandEnvVar(std::string& path, const TextEnv& env);

// Strips quotes and arguments, cuts at a comma, expands one %NAME%.
// Input longer than kMaxPathText is first cut to it (never through the
// middle of a double-byte character).
void NormalizeExePath(std::string& path, const TextEnv& env);

// Offset of the file-name part: just after the last "\" or ":" that is not
// the trail byte of a double-byte character.
size_t FileNameStart(std::string_view path);

// Lower-cases A-Z, leaving double-byte characters whole.
std::string LowerAscii(std::string_view text);


// The path without the NT prefix "\??\" where it begins it; anywhere else
// those characters belong to a name and stay. For ANSI and UTF-16 paths.
template <typename Char>
std::basic_string<Char> WithoutNtPrefix(std::basic_string<Char> path) {
  static constexpr Char kPrefix[] = {'\\', '?', '?', '\\'};
  if (path.size() >= 4 && std::equal(kPrefix, kPrefix + 4, path.begin())) path.erase(0, 4);
  return path;
}

// A file name as the system's mapping of an image gives it ("\\??\\C:\\..."
// under Wine, "\\Device\\HarddiskVolume1\\..." on Windows) as a drive
// path, through `devices` (each drive, such as L"C:", with its device name);
// empty where no drive holds that device.
std::wstring DrivePathOfMapped(std::wstring_view mapped,
                               const std::vector<std::pair<std::wstring, std::wstring>>& devices);

// Offset of the file-name part of a UTF-16 path: after the last "\" or ":"
// (no character there has a trail unit that could be either).
inline size_t WideFileNameStart(std::wstring_view path) {
  const size_t last = path.find_last_of(L"\\:");
  return last == std::wstring_view::npos ? 0 : last + 1;
}

// The process snapshot: every running process into the process list, and
// every application window into the application list, each line with its
// icon at the same index.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/handles.h"

// What a listed process shows of its executable file.
struct FileFacts {
  std::string DisplayName, Company, Description;
  base::Borrowed<HICON> Icon;  // kept by the resolver; none when the file has none
};

// Asked once per process with the path the system reports for it.
using FileResolver = std::function<FileFacts(const std::string& reportedPath)>;

// The entries without a file of their own, and the icon of any entry whose
// file gives none.
struct FixedEntries {
  const char* IdleName;
  const char* IdleDescription;
  const char* SystemName;
  const char* SystemDescription;
  const char* Company;
  base::Borrowed<HICON> DefaultIcon;
  base::Borrowed<HICON> SystemIcon;
  base::Borrowed<HICON> IdleIcon;
};

struct Snapshot {
  std::vector<std::string> ProcessLines;
  std::vector<HICON> ProcessIcons;  // borrowed: from the resolver or FixedEntries
  std::vector<std::string> ApplicationLines;
  std::vector<HICON> ApplicationIcons;  // borrowed, as above
  // The window of each application line: borrowed, and it may since have gone.
  std::vector<HWND> ApplicationWindows;
  // When each listed process started, where it could be read: an action on
  // an identifier checks it is still the same process.
  std::unordered_map<uint32_t, FILETIME> CreationTimes;
};

// Upper bound on EnumProcesses calls that report ERROR_MORE_DATA.
inline constexpr int kMaxEnumRetries = 8;

// The icons the snapshot holds stay valid while `resolve` keeps them.
Snapshot TakeSnapshot(const FixedEntries& fixed, const FileResolver& resolve);
Snapshot SnapshotPSAPI(const FixedEntries& fixed, const FileResolver& resolve);
Snapshot SnapshotToolHelp(const FixedEntries& fixed, const FileResolver& resolve);

// Every identifier EnumProcesses reports, the buffer grown until they fit.
std::vector<DWORD> EnumAllProcessIds();

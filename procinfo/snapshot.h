// The process snapshot: every running process into the process list, and
// every application window into the application list, each line with its
// icon at the same index.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/image_list.h"

struct EntryLists {
  std::vector<std::string> ProcessLines;
  ui::ImageList IL_Tab0{32, 32};
  std::vector<std::string> ApplicationLines;
  ui::ImageList IL_Tab1{32, 32};
  // When each listed process started, where it could be read: an action on
  // an identifier checks it is still the same process.
  std::unordered_map<uint32_t, FILETIME> CreationTimes;

  void Clear();
};

struct SubstituteIcons {
  HICON DefaultIcon = nullptr;  // borrowed
  HICON SystemIcon = nullptr;   // borrowed
  HICON IdleIcon = nullptr;     // borrowed
};

// Upper bound on EnumProcesses calls that report ERROR_MORE_DATA.
inline constexpr int kMaxEnumRetries = 8;

void TakeSnapshot(EntryLists& out, const SubstituteIcons& icons);
void SnapshotPSAPI(EntryLists& out, const SubstituteIcons& icons);
void SnapshotToolHelp(EntryLists& out, const SubstituteIcons& icons);

// Orders "%8X" identifier texts by value, smallest first.
void SortIDList(std::vector<std::string>& ids);

// Every identifier EnumProcesses reports, the buffer grown until they fit.
std::vector<DWORD> EnumAllProcessIds();

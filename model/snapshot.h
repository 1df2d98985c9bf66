// The process snapshot: an entry for every running process, and one for
// every application window, each with its icon.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/handles.h"
#include "model/entry.h"

// What a listed process shows of its executable file.
struct FileFacts {
  std::string DisplayName, Company, Description;
  base::Borrowed<HICON> Icon;  // kept by the resolver; none when the file has none
  std::wstring RealPath;       // the file the facts are of, where known
};

// The path the system reports for a process.
struct ReportedPath {
  std::string shown;   // as the entry shows it (code page text)
  std::wstring wide;   // the path itself; empty on the 9x family, whose paths are ANSI
};

// Asked once per process.
using FileResolver = std::function<FileFacts(const ReportedPath& path)>;

// Image paths kept from one snapshot to the next by process ID and creation
// time: a process's image does not change during its life.
class ImagePathMemory {
 public:
  const std::wstring* Find(uint32_t pid, const FILETIME& created) const;
  // Kept for the next snapshot; what the current one did not keep is then gone.
  void Keep(uint32_t pid, const FILETIME& created, const std::wstring& path);
  void Turn();

 private:
  struct Entry {
    FILETIME created;
    std::wstring path;
  };
  std::unordered_map<uint32_t, Entry> last_, next_;
};

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

// One entry of a listing, as it is listed (AsListed).
struct ListedEntry {
  TQorSvc entry;
  HICON icon = nullptr;    // borrowed: from the resolver or FixedEntries
  HWND window = nullptr;   // borrowed, maybe gone since: an application entry's window
};

struct Snapshot {
  std::vector<ListedEntry> Processes;
  std::vector<ListedEntry> Applications;
  // When each listed process started, where it could be read: an action on
  // an identifier checks it is still the same process.
  std::unordered_map<uint32_t, FILETIME> CreationTimes;
  // The file whose facts each process shows, where it was found by its
  // real (wide) path.
  std::unordered_map<uint32_t, std::wstring> Files;
};

// Upper bound on EnumProcesses calls that report ERROR_MORE_DATA.
inline constexpr int kMaxEnumRetries = 8;

// The icons the snapshot holds stay valid while `resolve` keeps them. Paths
// are taken from `paths` where it knows the process, and kept there.
Snapshot TakeSnapshot(const FixedEntries& fixed, const FileResolver& resolve,
                      ImagePathMemory* paths = nullptr);
// The process entries only; AddApplications then collects the window titles
// and adds the application entries, the same as TakeSnapshot's. Once
// `*stop` is set (by another thread), no more processes are read and titles
// come from the text the system keeps: a snapshot that is to be dropped.
// `ids`, where given on the NT family, are the processes to list, read from
// the system's own process list; else they are enumerated here.
Snapshot TakeProcesses(const FixedEntries& fixed, const FileResolver& resolve,
                       ImagePathMemory* paths = nullptr, const volatile LONG* stop = nullptr,
                       const std::vector<DWORD>* ids = nullptr);
void AddApplications(Snapshot& snapshot, const volatile LONG* stop = nullptr);
Snapshot SnapshotPSAPI(const FixedEntries& fixed, const FileResolver& resolve,
                       ImagePathMemory* paths, const volatile LONG* stop = nullptr,
                       const std::vector<DWORD>* ids = nullptr);
Snapshot SnapshotToolHelp(const FixedEntries& fixed, const FileResolver& resolve);

// The image path of process `pid` in UTF-16; for a process that cannot be
// opened, and on the 9x family always, the name ToolHelp reports (read in
// UTF-16 on the NT family, in the system's code page on the 9x family); empty
// when neither answers.
std::wstring ProcessImagePath(DWORD pid);

// Every identifier EnumProcesses reports, the buffer grown until they fit.
std::vector<DWORD> EnumAllProcessIds();

// Version resources of executables, and the path routines bound to the
// system's environment and code page.
#pragma once
#include <string>

#include "base/path_text.h"
#include "base/shown_text.h"

class TQorProductInfo {
 public:
  virtual ~TQorProductInfo() = default;
  void Clear() { *this = TQorProductInfo(); }

  std::string CompanyName;
  std::string FileDescription;
  std::string FileVersion;
  std::string InternalName;
  std::string LegalCopyright;
  std::string OriginalFilename;
  std::string ProductName;
  std::string ProductVersion;
  std::string ShortVersion;
};

// Fills `info` from the file's version resource: 0 when at least one value
// was found, -1 otherwise (then every field is empty).
int ReadProductInfo(const std::string& fileName, TQorProductInfo& info);
// The same through the wide functions, for any path the system can name.
int ReadProductInfo(const std::wstring& fileName, TQorProductInfo& info);

// Only the company and the description, as ReadProductInfo finds them.
struct ShownVersionTexts {
  std::string Company, Description;
};
ShownVersionTexts ReadShownVersionTexts(const std::wstring& fileName);

// The form of a path the file functions read it through: past MAX_PATH with
// the "\\?\" prefix.
std::wstring FileReadPath(const std::wstring& path);

// True only for an existing file (not a directory); the wide form looks in
// the real system folder under WOW64.
bool FileExists(const std::string& path);
bool FileExists(const std::wstring& path);
// A file of data on a disk, not empty: not a folder, a device, a pipe or a
// reparse point (Wine shows devices and pipes under Z:\\dev and the like as
// files of no size that GetFileAttributes does not know). Asked of the
// file's entry only: nothing is opened.
bool IsRegularFile(const std::wstring& path);

// The process environment, its values in code page 932 on the NT family.
const TextEnv& SystemTextEnv();

void NormalizeExePath(std::string& path);
void ExpandEnvVar(std::string& path);

// The program's own executable path, whole at any length, and as shown.
std::wstring OwnExePathW();
std::string OwnExePath();

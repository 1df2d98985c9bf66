// Version resources of executables, and the path routines bound to the
// system's environment and code page.
#pragma once
#include <string>

#include "base/path_text.h"

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

// True only for an existing file (not a directory).
bool FileExists(const std::string& path);

// The process environment and the system code page's lead-byte test.
const TextEnv& SystemTextEnv();

void NormalizeExePath(std::string& path);
void ExpandEnvVar(std::string& path);

// The program's own executable path.
std::string OwnExePath();

// From a reported executable path to the image name, company, description
// and icon of the file it names.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "base/handles.h"

struct Resolution {
  std::string DisplayName, Company, Description;
  base::UniqueIcon Icon;  // owned; empty when no file was found
  std::wstring RealPath;  // the file the facts are of (wide route only)
};

// The path a reported path resolves to; empty when no candidate exists.
// ANSI: the route of the 9x family. UTF-16: the path itself when it names a
// file; the ANSI candidates only for a path the code page holds whole.
std::string ResolvePath(const std::string& fileName);
std::wstring ResolvePath(const std::wstring& fileName);

// The image name, company, description and icon of the file a reported path
// resolves to; all empty when no file is found.
Resolution ResolveExecutable(const std::string& fileName);
Resolution ResolveExecutable(const std::wstring& fileName);

// Resolutions kept from one reload to the next: within a reload each
// reported path is looked at once; a file's facts are read again only when
// its size or times have changed.
class ResolveCache {
 public:
  const Resolution& Get(const std::wstring& fileName);
  const Resolution& Get(const std::string& fileName);  // kept for one reload
  // Starts the next reload: files the last one did not use are forgotten.
  void NextReload();

 private:
  struct Stamp {
    ULONGLONG size = 0;
    FILETIME created{}, written{};
    bool operator==(const Stamp& o) const;
  };
  struct Kept {
    Stamp stamp;
    Resolution facts;
    bool used = false;
  };
  static bool StampOf(const std::wstring& path, Stamp* stamp);

  std::map<std::wstring, Kept> files_;                    // by real path
  std::map<std::wstring, const Resolution*> reported_;  // this reload's
  std::map<std::string, Resolution> ansi_;                // this reload's
  const Resolution none_;
};

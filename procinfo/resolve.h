// From a reported executable path to the image name, company, description
// and icon of the file it names.
#pragma once
#include <map>
#include <string>

#include "procinfo/entry_line.h"
#include "ui/handles.h"

struct Resolution {
  std::string DisplayName, Company, Description;
  ui::UniqueIcon Icon;  // owned; empty when no file was found
};

// The path a reported path resolves to; empty when no candidate exists.
std::string ResolvePath(const std::string& fileName);

// Fills DisplayName, Company and Description of `svc` and gives `icon` the
// file's associated icon; FileName and idProcess stay as they are.
void ResolveExecutable(TQorSvc& svc, ui::UniqueIcon& icon);

// Resolution by reported path, kept for one snapshot: every process of one
// executable costs one version read and one icon extraction.
class ResolveCache {
 public:
  const Resolution& Get(const std::string& fileName);

 private:
  std::map<std::string, Resolution> cache_;
};

// From a reported executable path to the image name, company, description
// and icon of the file it names.
#pragma once
#include <map>
#include <string>

#include "base/handles.h"

struct Resolution {
  std::string DisplayName, Company, Description;
  base::UniqueIcon Icon;  // owned; empty when no file was found
};

// The path a reported path resolves to; empty when no candidate exists.
std::string ResolvePath(const std::string& fileName);

// The image name, company, description and associated icon of the file a
// reported path resolves to; all empty when no file is found.
Resolution ResolveExecutable(const std::string& fileName);

// Resolution by reported path, kept for one snapshot: every process of one
// executable costs one version read and one icon extraction.
class ResolveCache {
 public:
  const Resolution& Get(const std::string& fileName);

 private:
  std::map<std::string, Resolution> cache_;
};

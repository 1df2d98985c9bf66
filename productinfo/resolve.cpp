#include "productinfo/resolve.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "productinfo/icon_group.h"
#include "productinfo/qorfunc.h"
#include "productinfo/wow64_redirection.h"

namespace {

constexpr size_t kWorkingPathLimit = 255;
constexpr char kSystemRootPrefix[] = "\\systemroot\\";

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + to.size()))
    text.replace(p, from.size(), to);
  return text;
}

}  // namespace

std::string ResolvePath(const std::string& fileName) {
  const TextEnv& env = SystemTextEnv();
  std::string p = fileName;
  CutText(p, kWorkingPathLimit, env);
  // A reported path that names a file as it stands is that file, blanks
  // and dots in its names included.
  if (FileExists(p)) return p;
  NormalizeExePath(p);
  if (FileExists(p)) return p;
  if (LowerAscii(p, env).find(".exe") == std::string::npos) p += ".exe";
  if (FileExists(p)) return p;
  std::string lower = LowerAscii(p, env);
  if (lower.rfind(kSystemRootPrefix, 0) == 0) {
    p = ReplaceAll(lower, kSystemRootPrefix, "%SystemRoot%\\");
    NormalizeExePath(p);
    if (FileExists(p)) return p;
  }
  p = "%SystemRoot%\\" + p;
  NormalizeExePath(p);
  return FileExists(p) ? p : std::string();
}

Resolution ResolveExecutable(const std::string& fileName) {
  Resolution r;
  // Existence checks, version block and icon read the file the path names,
  // also a 64-bit program's under System32.
  Wow64RedirectionOff redirection;
  std::string p = ResolvePath(fileName);
  if (p.empty()) return r;
  r.DisplayName = p.substr(FileNameStart(p, SystemTextEnv()));
  TQorProductInfo info;
  ReadProductInfo(p, info);
  if (!info.CompanyName.empty()) r.Company = info.CompanyName;
  if (!info.FileDescription.empty()) r.Description = info.FileDescription;
  char buf[MAX_PATH + 1] = {};
  std::memcpy(buf, p.data(), std::min(p.size(), sizeof buf - 1));
  WORD index = 0;
  // A malformed icon group makes the extraction read past it: no icon then.
  if (FirstIconGroupIsSound(p))
    r.Icon.reset(ExtractAssociatedIconA(GetModuleHandleA(nullptr), buf, &index));
  return r;
}

const Resolution& ResolveCache::Get(const std::string& fileName) {
  auto it = cache_.find(fileName);
  if (it != cache_.end()) return it->second;
  return cache_.emplace(fileName, ResolveExecutable(fileName)).first->second;
}

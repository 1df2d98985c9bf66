#include "productinfo/qorfunc.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "productinfo/resource_check.h"
#include "productinfo/version_text.h"

namespace {

constexpr const char* kValueNames[8] = {"CompanyName",    "FileDescription", "FileVersion",
                                        "InternalName",   "LegalCopyright",  "OriginalFilename",
                                        "ProductName",    "ProductVersion"};

std::string* FieldOf(TQorProductInfo& info, int i) {
  std::string* fields[8] = {&info.CompanyName,    &info.FileDescription, &info.FileVersion,
                            &info.InternalName,   &info.LegalCopyright,  &info.OriginalFilename,
                            &info.ProductName,    &info.ProductVersion};
  return fields[i];
}

// One pass over a string table; true when any value was found.
bool ReadStringTable(std::vector<char>& block, const std::string& table, TQorProductInfo& info) {
  bool found = false;
  for (int i = 0; i < 8; ++i) {
    std::string path = table + kValueNames[i];
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || !value) continue;
    // Windows counts the length in characters, Wine in bytes: the text runs
    // to its zero, inside the buffer.
    const char* begin = block.data();
    *FieldOf(info, i) = TextUpToNul(static_cast<const char*>(value), begin, begin + block.size());
    found = true;
  }
  if (!info.ProductVersion.empty()) info.ShortVersion = ShortVersionOf(info.ProductVersion);
  return found;
}

}  // namespace

bool FileExists(const std::string& path) {
  DWORD attr = GetFileAttributesA(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

int ReadProductInfo(const std::string& fileName, TQorProductInfo& info) {
  info.Clear();
  if (!FileExists(fileName)) return -1;
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
  if (size == 0) return -1;
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(fileName.c_str(), 0, size, block.data())) return -1;
  // The queries trust every length in the block, and VerQueryValueA writes
  // its ANSI copies behind the root's end: check first, then give it room.
  const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
  if (!VersionBlockIsSound(bytes, size)) return -1;
  block.resize(VersionQueryRoom(bytes, size), '\0');
  void* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &translation, &length) ||
      !translation || length < 4)
    return -1;
  uint32_t first;
  std::memcpy(&first, translation, 4);
  bool found = ReadStringTable(block, StringTablePath(first), info);
  if (!found) found = ReadStringTable(block, "\\StringFileInfo\\040904E4\\", info);
  if (!found) info.Clear();
  return found ? 0 : -1;
}

const TextEnv& SystemTextEnv() {
  static const TextEnv env{
      [](const std::string& name, std::string& value) {
        char buf[260] = {};
        DWORD n = GetEnvironmentVariableA(name.c_str(), buf, sizeof buf);
        if (n == 0 || n >= sizeof buf) return false;
        value.assign(buf, n);
        return true;
      },
      [](unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }};
  return env;
}

void NormalizeExePath(std::string& path) { NormalizeExePath(path, SystemTextEnv()); }
void ExpandEnvVar(std::string& path) { ExpandEnvVar(path, SystemTextEnv()); }

std::string OwnExePath() {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return std::string(buf, n);
}

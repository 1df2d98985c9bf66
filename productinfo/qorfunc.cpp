#include "productinfo/qorfunc.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/shown_text.h"
#include "productinfo/resource_check.h"
#include "productinfo/version_text.h"
#include "productinfo/wow64_redirection.h"

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

// The checked version block of a file read through the wide functions;
// empty when it has none or its lengths cannot be trusted. The 16-bit form
// gets the room behind it that VerQueryValueA writes its copies into.
std::vector<char> WideVersionBlock(const std::wstring& fileName) {
  const std::wstring path = FileReadPath(fileName);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return {};
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};
  const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
  if (!VersionBlockIsSound(bytes, size)) return {};
  if (VersionBlockIs16Bit(bytes, size)) block.resize(VersionQueryRoom(bytes, size), '\0');
  return block;
}

// The ANSI form of a path for the 9x family's file functions, which read
// paths in the system's code page.
bool SystemCodePagePath(const std::wstring& path, std::string& out) {
  out.clear();
  if (path.empty()) return false;
  const int n = static_cast<int>(path.size());
  BOOL lost = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, 0, path.data(), n, nullptr, 0, nullptr, &lost);
  if (bytes <= 0 || lost) return false;
  out.assign(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, path.data(), n, out.data(), bytes, nullptr, nullptr);
  return true;
}

// The first translation's table, as "\StringFileInfo\LLLLCCCC\"; empty when none.
std::wstring WideFirstTable(std::vector<char>& block) {
  void* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &translation, &length) ||
      !translation || length < 4)
    return {};
  uint32_t first;
  std::memcpy(&first, translation, 4);
  const std::string table = StringTablePath(first);
  return std::wstring(table.begin(), table.end());
}

// A value of one table in code page 932, as every text the program shows
// (ShownText: what the code page cannot hold shows as "?"); false when the
// table has no such value.
bool WideValue(std::vector<char>& block, const std::wstring& table, const char* name,
               std::string* out) {
  const std::wstring path = table + std::wstring(name, name + std::strlen(name));
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value) return false;
  if (!out) return true;
  // The text runs to its zero, inside the buffer (lengths differ by system).
  const auto* begin = reinterpret_cast<const unsigned char*>(block.data());
  const auto* bytesAt = static_cast<const unsigned char*>(value);
  std::wstring text(WideTextUnits(bytesAt, begin, begin + block.size()), L'\0');
  std::memcpy(text.data(), bytesAt, text.size() * sizeof(wchar_t));
  *out = ShownText(text);
  return true;
}

// The 16-bit form holds ANSI texts, read through VerQueryValueA alone:
// VerQueryValueW would convert them into room behind the block.
bool AnsiStringTables(std::vector<char>& block, std::string* const (&wanted)[8]) {
  TQorProductInfo info;
  void* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &translation, &length) ||
      !translation || length < 4)
    return false;
  uint32_t first;
  std::memcpy(&first, translation, 4);
  if (!ReadStringTable(block, StringTablePath(first), info) &&
      !ReadStringTable(block, "\\StringFileInfo\\040904E4\\", info))
    return false;
  for (int i = 0; i < 8; ++i)
    if (wanted[i]) *wanted[i] = *FieldOf(info, i);
  return true;
}

// Reads `wanted` (null where a value only counts as found) from the first
// translation's table, else from the US English one, as ReadStringTable does.
bool WideStringTables(const std::wstring& fileName, std::string* const (&wanted)[8]) {
  std::vector<char> block = WideVersionBlock(fileName);
  if (block.empty()) return false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
  if (VersionBlockIs16Bit(bytes, block.size())) return AnsiStringTables(block, wanted);
  const std::wstring first = WideFirstTable(block);
  if (first.empty()) return false;
  for (const std::wstring& table : {first, std::wstring(L"\\StringFileInfo\\040904E4\\")}) {
    bool found = false;
    for (int i = 0; i < 8; ++i) found |= WideValue(block, table, kValueNames[i], wanted[i]);
    if (found) return true;
  }
  return false;
}

}  // namespace

int ReadProductInfo(const std::wstring& fileName, TQorProductInfo& info) {
  info.Clear();
  std::string ansi;
  if (!WideSystem()) return SystemCodePagePath(fileName, ansi) ? ReadProductInfo(ansi, info) : -1;
  std::string* const wanted[8] = {FieldOf(info, 0), FieldOf(info, 1), FieldOf(info, 2),
                                  FieldOf(info, 3), FieldOf(info, 4), FieldOf(info, 5),
                                  FieldOf(info, 6), FieldOf(info, 7)};
  if (!WideStringTables(fileName, wanted)) {
    info.Clear();
    return -1;
  }
  if (!info.ProductVersion.empty()) info.ShortVersion = ShortVersionOf(info.ProductVersion);
  return 0;
}

ShownVersionTexts ReadShownVersionTexts(const std::wstring& fileName) {
  ShownVersionTexts t;
  // The other six values are only looked up: they decide which table counts.
  std::string* const wanted[8] = {&t.Company, &t.Description};
  if (!WideSystem()) {
    TQorProductInfo info;
    std::string ansi;
    if (!SystemCodePagePath(fileName, ansi) || ReadProductInfo(ansi, info) != 0) return {};
    return {info.CompanyName, info.FileDescription};
  }
  if (!WideStringTables(fileName, wanted)) return {};
  return t;
}

std::wstring FileReadPath(const std::wstring& path) {
  if (path.size() < MAX_PATH) return path;
  if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  if (path.rfind(L"\\\\", 0) == 0 && path.rfind(L"\\\\?\\", 0) != 0)
    return L"\\\\?\\UNC\\" + path.substr(2);
  return path;
}

bool FileExists(const std::wstring& path) {
  if (!WideSystem()) return FileExists(ShownText(path));  // its calls take code page text
  DWORD attr;
  {
    Wow64RedirectionOff redirection;  // a read of the file's entry only
    attr = GetFileAttributesW(FileReadPath(path).c_str());
  }
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsRegularFile(const std::wstring& path) {
  constexpr DWORD kNotData = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT |
                             FILE_ATTRIBUTE_OFFLINE;
  if (path.find_first_of(L"*?") != std::wstring::npos) return false;  // a pattern, not a name
  DWORD attr, foundAttr, sizeLow, sizeHigh;
  HANDLE search;
  if (WideSystem()) {
    Wow64RedirectionOff redirection;
    const std::wstring name = FileReadPath(path);
    attr = GetFileAttributesW(name.c_str());
    WIN32_FIND_DATAW found{};
    search = FindFirstFileW(name.c_str(), &found);
    foundAttr = found.dwFileAttributes, sizeLow = found.nFileSizeLow, sizeHigh = found.nFileSizeHigh;
  } else {
    std::string ansi;
    if (!SystemCodePagePath(path, ansi)) return false;
    attr = GetFileAttributesA(ansi.c_str());
    WIN32_FIND_DATAA found{};
    search = FindFirstFileA(ansi.c_str(), &found);
    foundAttr = found.dwFileAttributes, sizeLow = found.nFileSizeLow, sizeHigh = found.nFileSizeHigh;
  }
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & kNotData) && !(foundAttr & kNotData) &&
         (sizeLow != 0 || sizeHigh != 0);
}

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

namespace {

// A variable's value as the reported paths are: on the NT family read in
// UTF-16 and written in code page 932 (the ANSI call would give the system's
// code page); on the 9x family, whose paths are ANSI, as the system has it.
bool EnvironmentValue(const std::string& name, std::string& value) {
  constexpr DWORD kRoom = 260;
  std::wstring wideName;
  if (WideSystem() && WideOfShown(name, wideName)) {
    wchar_t buf[kRoom] = {};
    const DWORD n = GetEnvironmentVariableW(wideName.c_str(), buf, kRoom);
    if (n == 0 || n >= kRoom) return false;
    value = ShownText(std::wstring_view(buf, n));
    return true;
  }
  char buf[kRoom] = {};
  const DWORD n = GetEnvironmentVariableA(name.c_str(), buf, kRoom);
  if (n == 0 || n >= kRoom) return false;
  value.assign(buf, n);
  return true;
}

}  // namespace

const TextEnv& SystemTextEnv() {
  static const TextEnv env{EnvironmentValue};
  return env;
}

void NormalizeExePath(std::string& path) { NormalizeExePath(path, SystemTextEnv()); }
void ExpandEnvVar(std::string& path) { ExpandEnvVar(path, SystemTextEnv()); }

namespace {

// The 9x family names its files in the system's code page.
std::string OwnExePathAnsi() {
  char buf[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return std::string(buf, std::min<DWORD>(n, MAX_PATH));
}

}  // namespace

std::wstring OwnExePathW() {
  if (!WideSystem()) {
    const std::string ansi = OwnExePathAnsi();
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(n, 0)), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return wide;
  }
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n < buf.size() || buf.size() >= 32768) {
      buf.resize(std::min<size_t>(n, buf.size()));
      return buf;
    }
    buf.resize(buf.size() * 2);
  }
}

// As ToolHelp's names of running copies are compared: the system's code
// page decoded, shown in code page 932.
std::string OwnExePath() { return ShownText(OwnExePathW()); }

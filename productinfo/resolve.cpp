#include "productinfo/resolve.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "productinfo/icon_group.h"
#include "productinfo/qorfunc.h"
#include "productinfo/wow64_redirection.h"

namespace {

constexpr char kSystemRootPrefix[] = "\\systemroot\\";

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + to.size()))
    text.replace(p, from.size(), to);
  return text;
}

// The candidates a reported path stands for, first existing one wins.
std::string ResolvePathWith(const std::string& fileName,
                            const std::function<bool(const std::string&)>& exists) {
  std::string p = fileName;
  CutText(p, kMaxPathText);
  // A reported path that names a file as it stands is that file, blanks
  // and dots in its names included.
  if (exists(p)) return p;
  NormalizeExePath(p);
  if (exists(p)) return p;
  if (LowerAscii(p).find(".exe") == std::string::npos) p += ".exe";
  if (exists(p)) return p;
  std::string lower = LowerAscii(p);
  if (lower.rfind(kSystemRootPrefix, 0) == 0) {
    p = ReplaceAll(lower, kSystemRootPrefix, "%SystemRoot%\\");
    NormalizeExePath(p);
    if (exists(p)) return p;
  }
  p = "%SystemRoot%\\" + p;
  NormalizeExePath(p);
  return exists(p) ? p : std::string();
}

// Existence seen through the real system folder: a read of the file only.
bool AnsiFileExists(const std::string& path) {
  Wow64RedirectionOff redirection;
  return FileExists(path);
}

// The shell's icon for a file without an icon group of its own (what
// extraction gives for it); it may load libraries, so it sees the files with
// redirection on, the real system folder by its WOW64 name.
template <typename Char, typename Extract>
base::UniqueIcon ShellIcon(const std::basic_string<Char>& path, Extract extract) {
  Char buf[MAX_PATH] = {};
  if (path.size() >= MAX_PATH) return {};
  std::copy(path.begin(), path.end(), buf);
  WORD index = 0;
  return base::UniqueIcon(extract(GetModuleHandleA(nullptr), buf, &index));
}

}  // namespace

std::string ResolvePath(const std::string& fileName) {
  return ResolvePathWith(fileName, AnsiFileExists);
}

std::wstring ResolvePath(const std::wstring& fileName) {
  if (FileExists(fileName)) return fileName;
  // Only a path the code page holds whole may stand for another candidate:
  // a "?" in place of a character names no file of this one.
  std::wstring wide;
  const std::string shown = ShownText(fileName);
  if (!WideOfShown(shown, wide) || wide != fileName) return {};
  const std::string p = ResolvePathWith(shown, [](const std::string& candidate) {
    std::wstring w;
    return WideOfShown(candidate, w) && FileExists(w);
  });
  return !p.empty() && WideOfShown(p, wide) ? wide : std::wstring();
}

Resolution ResolveExecutable(const std::string& fileName) {
  Resolution r;
  const std::string p = ResolvePath(fileName);
  if (p.empty()) return r;
  r.DisplayName = p.substr(FileNameStart(p));
  TQorProductInfo info;
  ReadProductInfo(p, info);
  r.Company = info.CompanyName;
  r.Description = info.FileDescription;
  GroupIcon group = FirstGroupIcon(p);
  r.Icon = group.hasGroup ? std::move(group.icon) : ShellIcon(p, ExtractAssociatedIconA);
  return r;
}

Resolution ResolveExecutable(const std::wstring& fileName) {
  Resolution r;
  const std::wstring real = ResolvePath(fileName);
  if (real.empty()) return r;
  r.RealPath = real;
  r.DisplayName = ShownText(std::wstring_view(real).substr(WideFileNameStart(real)));
  const std::wstring native = NativeSystemPath(real);
  ShownVersionTexts texts = ReadShownVersionTexts(native);
  r.Company = std::move(texts.Company);
  r.Description = std::move(texts.Description);
  // One load of the file checks its icon group and takes the icon.
  GroupIcon group = FirstGroupIcon(FileReadPath(native));
  r.Icon = group.hasGroup ? std::move(group.icon) : ShellIcon(native, ExtractAssociatedIconW);
  return r;
}

bool ResolveCache::Stamp::operator==(const Stamp& o) const {
  return size == o.size && CompareFileTime(&created, &o.created) == 0 &&
         CompareFileTime(&written, &o.written) == 0;
}

namespace {

// Windows 95 lacks it (the wide paths are the NT family's alone).
bool AttributesEx(const wchar_t* path, WIN32_FILE_ATTRIBUTE_DATA* data) {
  using AttributesFn = BOOL(WINAPI*)(LPCWSTR, GET_FILEEX_INFO_LEVELS, LPVOID);
  static const auto read = reinterpret_cast<AttributesFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFileAttributesExW")));
  return read && read(path, GetFileExInfoStandard, data) != FALSE;
}

}  // namespace

bool ResolveCache::StampOf(const std::wstring& path, Stamp* stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  BOOL ok;
  {
    Wow64RedirectionOff redirection;  // a read of the file's entry only
    ok = AttributesEx(FileReadPath(path).c_str(), &data);
  }
  if (!ok || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  stamp->size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp->created = data.ftCreationTime;
  stamp->written = data.ftLastWriteTime;
  return true;
}

const Resolution& ResolveCache::Get(const std::wstring& fileName) {
  auto seen = reported_.find(fileName);
  if (seen != reported_.end()) return *seen->second;
  const Resolution* facts = &none_;
  Stamp stamp;
  const std::wstring real = StampOf(fileName, &stamp) ? fileName : ResolvePath(fileName);
  if (!real.empty() && (real == fileName || StampOf(real, &stamp))) {
    Kept& kept = files_[real];
    // Read again when it changed, unless this reload already lent out its icon.
    if (kept.facts.RealPath.empty() || (!kept.used && !(kept.stamp == stamp))) {
      kept.facts = ResolveExecutable(real);
      kept.stamp = stamp;
    }
    kept.used = true;
    facts = &kept.facts;
  }
  reported_.emplace(fileName, facts);
  return *facts;
}

const Resolution& ResolveCache::Get(const std::string& fileName) {
  auto it = ansi_.find(fileName);
  if (it != ansi_.end()) return it->second;
  return ansi_.emplace(fileName, ResolveExecutable(fileName)).first->second;
}

void ResolveCache::NextReload() {
  for (auto it = files_.begin(); it != files_.end();) {
    if (it->second.used) {
      it->second.used = false;
      ++it;
    } else {
      it = files_.erase(it);
    }
  }
  reported_.clear();
  ansi_.clear();
}

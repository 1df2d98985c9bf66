#include "productinfo/icon_group.h"

#include "productinfo/resource_check.h"

namespace {

constexpr DWORD kIconFormat = 0x00030000;  // what CreateIconFromResourceEx expects

// A resource's bytes and size; null when it is missing.
const unsigned char* ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type, DWORD* size) {
  HRSRC res = FindResourceA(module, name, type);
  if (!res) return nullptr;
  *size = SizeofResource(module, res);
  HGLOBAL loaded = LoadResource(module, res);
  return loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
}

base::UniqueIcon IconOfGroup(HMODULE module, LPCSTR name) {
  DWORD size = 0;
  const unsigned char* group =
      ResourceBytes(module, name, reinterpret_cast<LPCSTR>(RT_GROUP_ICON), &size);
  if (!group) return {};
  const bool sound = IconGroupIsSound(group, size, [&](uint16_t id) -> size_t {
    DWORD bytes = 0;
    return ResourceBytes(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_ICON), &bytes)
               ? bytes
               : 0;
  });
  if (!sound) return {};
  const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
  auto* dir = const_cast<PBYTE>(group);
  const int id = LookupIconIdFromDirectoryEx(dir, TRUE, cx, cy, LR_DEFAULTCOLOR);
  DWORD imageSize = 0;
  const unsigned char* image = ResourceBytes(module, MAKEINTRESOURCEA(id),
                                             reinterpret_cast<LPCSTR>(RT_ICON), &imageSize);
  if (!image) return {};
  return base::UniqueIcon(CreateIconFromResourceEx(const_cast<PBYTE>(image), imageSize, TRUE,
                                                   kIconFormat, cx, cy, LR_DEFAULTCOLOR));
}

// Names come in the order extraction takes them; the first is read inside
// the enumeration, while a string name's copy still exists.
BOOL CALLBACK TakeFirst(HMODULE module, LPCSTR, LPSTR name, LONG_PTR out) {
  auto* result = reinterpret_cast<GroupIcon*>(out);
  result->hasGroup = true;
  result->icon = IconOfGroup(module, name);
  return FALSE;
}

}  // namespace

GroupIcon FirstGroupIcon(HMODULE module) {
  GroupIcon result;
  if (module)
    EnumResourceNamesA(module, reinterpret_cast<LPCSTR>(RT_GROUP_ICON), TakeFirst,
                       reinterpret_cast<LONG_PTR>(&result));
  return result;
}

GroupIcon FirstGroupIcon(const std::wstring& readPath) {
  base::UniqueLibrary module(LoadLibraryExW(readPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  return FirstGroupIcon(module.get());
}

GroupIcon FirstGroupIcon(const std::string& ansiPath) {
  base::UniqueLibrary module(LoadLibraryExA(ansiPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  return FirstGroupIcon(module.get());
}

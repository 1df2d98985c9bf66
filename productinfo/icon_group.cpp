#include "productinfo/icon_group.h"

#include <windows.h>

#include "productinfo/resource_check.h"
#include "base/handles.h"

namespace {

size_t ResourceSize(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC res = FindResourceA(module, name, type);
  return res ? SizeofResource(module, res) : 0;
}

bool GroupIsSound(HMODULE module, LPCSTR name) {
  HRSRC res = FindResourceA(module, name, reinterpret_cast<LPCSTR>(RT_GROUP_ICON));
  if (!res) return false;
  const DWORD size = SizeofResource(module, res);
  HGLOBAL loaded = LoadResource(module, res);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return false;
  return IconGroupIsSound(static_cast<const unsigned char*>(bytes), size, [&](uint16_t id) {
    return ResourceSize(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_ICON));
  });
}

// Names come in the order extraction takes them; the first is checked inside
// the enumeration, while a string name's copy still exists.
BOOL CALLBACK CheckFirst(HMODULE module, LPCSTR, LPSTR name, LONG_PTR sound) {
  *reinterpret_cast<bool*>(sound) = GroupIsSound(module, name);
  return FALSE;
}

}  // namespace

bool FirstIconGroupIsSound(const std::string& path) {
  base::UniqueLibrary module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return true;
  bool sound = true;
  EnumResourceNamesA(module.get(), reinterpret_cast<LPCSTR>(RT_GROUP_ICON), CheckFirst,
                     reinterpret_cast<LONG_PTR>(&sound));
  return sound;
}

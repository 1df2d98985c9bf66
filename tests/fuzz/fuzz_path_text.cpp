// Fuzz target: path normalising and environment expansion.
#include <cstdint>
#include <string>

#include "base/path_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TextEnv env{[](const std::string& name, std::string& value) {
                             if (name.size() % 3 == 2) return false;
                             value = std::string(name.size() * 37 % 300, 'v');
                             return true;
                           }};
  std::string path(reinterpret_cast<const char*>(data), size);
  std::string n = path;
  NormalizeExePath(n, env);
  if (n.size() > kMaxPathText) __builtin_trap();
  std::string e = path;
  ExpandEnvVar(e, env);
  FileNameStart(path);
  LowerAscii(path);
  return 0;
}

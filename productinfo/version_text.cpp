#include "productinfo/version_text.h"

#include <cstdio>

std::string StringTablePath(uint32_t translation) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "\\StringFileInfo\\%04X%04X\\",
                static_cast<unsigned>(translation & 0xFFFF),
                static_cast<unsigned>(translation >> 16));
  return buf;
}

std::string ShortVersionOf(const std::string& v) {
  size_t first = v.find('.');
  if (first == std::string::npos) return {};
  size_t second = v.find('.', first + 1);
  if (second == std::string::npos) return {};
  return v.substr(0, second);
}

std::string OpenUrlCommand(const std::string& url) {
  return "\"" + url + "\",,-1,,,,,";
}

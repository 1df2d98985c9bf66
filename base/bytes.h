// A value of type T from bytes that need not be aligned for it: how records
// read from another process or from the system's lists are taken apart.
#pragma once
#include <cstddef>
#include <cstring>

template <typename T>
T At(const unsigned char* p, size_t offset) {
  T v;
  std::memcpy(&v, p + offset, sizeof v);
  return v;
}

// Programs whose version and icon resources a test writes byte by byte:
// copies of helper.exe (so they run and show windows, in the same modes)
// with the resources of the test's choice, sound or malformed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace crafted {

struct Resources {
  std::vector<unsigned char> version;    // RT_VERSION 1, none when empty
  std::vector<unsigned char> iconGroup;  // RT_GROUP_ICON 1, none when empty
  bool icon = true;                      // RT_ICON 1: a 32x32 square of one colour
  uint32_t iconColour = 0xFF0000;        // 0xRRGGBB: pure red unless told
};

// An icon group of `count` (as its header claims) holding one entry that
// names icon `id`.
std::vector<unsigned char> IconGroup(uint16_t count, uint16_t id);

// Copies helper.exe to `path` and writes `r` into the copy; false on failure.
bool MakeProgram(const std::string& path, const Resources& r);

}  // namespace crafted

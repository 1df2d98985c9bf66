#include "crafted_exe.h"

#include <windows.h>

#include "harness.h"

namespace crafted {

namespace {

constexpr int kSide = 32;

// A 32-bit DIB icon image: header, colour rows (bottom-up), AND mask.
std::vector<unsigned char> Square(uint32_t rgb) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = kSide;
  h.biHeight = 2 * kSide;  // colour and mask
  h.biPlanes = 1;
  h.biBitCount = 32;
  std::vector<unsigned char> image(sizeof h + kSide * kSide * 4 + kSide * 4, 0);
  memcpy(image.data(), &h, sizeof h);
  for (int i = 0; i < kSide * kSide; ++i) {
    unsigned char* px = image.data() + sizeof h + i * 4;
    px[0] = static_cast<unsigned char>(rgb);  // BGRA, opaque
    px[1] = static_cast<unsigned char>(rgb >> 8);
    px[2] = static_cast<unsigned char>(rgb >> 16);
    px[3] = 0xFF;
  }
  return image;
}

}  // namespace

std::vector<unsigned char> IconGroup(uint16_t count, uint16_t id) {
  const DWORD bytes = static_cast<DWORD>(Square(0).size());
  return {0, 0, 1, 0, static_cast<unsigned char>(count), static_cast<unsigned char>(count >> 8),
          kSide, kSide, 0, 0, 1, 0, 32, 0,
          static_cast<unsigned char>(bytes), static_cast<unsigned char>(bytes >> 8), 0, 0,
          static_cast<unsigned char>(id), static_cast<unsigned char>(id >> 8)};
}

bool MakeProgram(const std::string& path, const Resources& r) {
  if (!CopyFileA((harness::TestDir() + "helper.exe").c_str(), path.c_str(), FALSE)) return false;
  HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
  if (!update) return false;
  bool ok = true;
  auto put = [&](LPCSTR type, std::vector<unsigned char> data) {
    if (data.empty()) return;
    ok = ok && UpdateResourceA(update, type, MAKEINTRESOURCEA(1), 0, data.data(),
                               static_cast<DWORD>(data.size()));
  };
  put(reinterpret_cast<LPCSTR>(RT_VERSION), r.version);
  put(reinterpret_cast<LPCSTR>(RT_GROUP_ICON), r.iconGroup);
  if (r.icon) put(reinterpret_cast<LPCSTR>(RT_ICON), Square(r.iconColour));
  return EndUpdateResourceA(update, !ok) && ok;
}

}  // namespace crafted

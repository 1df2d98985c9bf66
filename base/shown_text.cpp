#include "base/shown_text.h"

#include <windows.h>

std::string ShownText(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = static_cast<int>(text.size());
  const int bytes =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), n, nullptr, 0, "?", nullptr);
  if (bytes <= 0) return std::string(text.size(), '?');
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), n, out.data(), bytes, "?", nullptr);
  return out;
}

bool WideOfShown(const std::string& text, std::wstring& wide) {
  wide.clear();
  if (text.empty()) return true;
  const int n = static_cast<int>(text.size());
  const int chars = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), n, nullptr, 0);
  if (chars <= 0) return false;
  wide.assign(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), n, wide.data(), chars);
  return ShownText(wide) == text;
}

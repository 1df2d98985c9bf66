#include "base/code_page.h"

bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

void CutText(std::string& text, size_t limit) {
  if (text.size() <= limit) return;
  size_t keep = 0;
  for (size_t i = 0; i < text.size();) {
    const bool lead = IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    const size_t next = i + (lead ? 2 : 1);
    if (next > limit) break;
    keep = i = next;
  }
  text.resize(keep);
}

std::wstring_view CutUnits(std::wstring_view text, size_t limit) {
  // Text that fills the room may have been cut before it came (WM_GETTEXT cuts by units).
  if (text.size() < limit) return text;
  text = text.substr(0, limit);
  if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.remove_suffix(1);
  return text;
}

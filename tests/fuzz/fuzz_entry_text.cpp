// Fuzz target: an entry's texts, as another process's file or window may
// hold them, listed and shown.
#include <cstdint>
#include <string>

#include "app/entry_text.h"

namespace {

std::wstring Units(std::string_view t) { return std::wstring(t.begin(), t.end()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Every two bytes a UTF-16 unit, surrogates and separators included.
  std::wstring field;
  for (size_t i = 0; i + 1 < size; i += 2) field += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  TQorSvc svc{static_cast<uint32_t>(size), 0, field, field, field, field, field};
  AsListed(svc);
  if (svc.DisplayName.find_first_of(L"\t\r\n") != std::wstring::npos) __builtin_trap();
  if (svc.WindowText.find_first_of(std::wstring(L"\t\r\n\0", 4)) != std::wstring::npos) __builtin_trap();
  for (ListTab tab : {ListTab::Processes, ListTab::Applications}) {
    const std::wstring text = EntryText(svc, tab, Units);
    // Three lines whatever the fields hold, and no more code page 932
    // bytes (half-width katakana one, ASCII one, any other unit at most two)
    // than a reader of the list can take.
    size_t breaks = 0, bytes = 0;
    for (wchar_t c : text) {
      breaks += c == L'\n';
      bytes += c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
    }
    if (breaks != 2 || bytes > 420) __builtin_trap();
  }
  return 0;
}

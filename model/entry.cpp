#include "model/entry.h"

#include <string_view>

void AsListed(TQorSvc& s) {
  for (std::wstring* field : {&s.DisplayName, &s.FileName, &s.Company, &s.Description})
    for (wchar_t& c : *field)
      if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  const size_t end = s.WindowText.find_first_of(std::wstring_view(L"\t\r\n\0", 4));
  if (end != std::wstring::npos) s.WindowText.resize(end);
}

void MarkNotResponding(TQorSvc& s) { s.WindowText += kNotRespondingMark; }

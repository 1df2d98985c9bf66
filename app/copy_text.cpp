#include "app/copy_text.h"

#include "app/detail_rows.h"
#include "app/texts.h"

std::wstring EntryCopyText(const TQorSvc& svc, const std::vector<std::wstring>& titles, Widen widen) {
  std::wstring text;
  for (const DetailRow& row : kDetailRows) {
    if (!row.copied) continue;
    const std::wstring value = row.read(svc, titles);
    text += row.label ? widen(std::string(row.label) + texts::kCopySeparator) + value + L"\r\n" : value;
  }
  return text;
}

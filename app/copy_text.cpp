#include "app/copy_text.h"

#include "app/detail_rows.h"
#include "app/texts.h"

std::wstring EntryCopyTextWide(const TQorSvc& svc, const EntryTitles& titles, Widen widen) {
  std::wstring text;
  for (const DetailRow& row : kDetailRows) {
    if (!row.copied) continue;
    const std::wstring value = RowTrueText(row, svc, titles, widen);
    text += row.label ? widen(std::string(row.label) + texts::kCopySeparator) + value + L"\r\n" : value;
  }
  return text;
}

std::string EntryCopyText(const TQorSvc& svc, const std::vector<std::string>& titles) {
  std::string text;
  for (const DetailRow& row : kDetailRows) {
    if (!row.copied) continue;
    const std::string value = row.read(svc, titles);
    text += row.label ? std::string(row.label) + texts::kCopySeparator + value + "\r\n" : value;
  }
  return text;
}

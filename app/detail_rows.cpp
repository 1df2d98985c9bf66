#include "app/detail_rows.h"

#include "app/control_ids.h"

namespace {

using Titles = std::vector<std::wstring>;

std::wstring Titled(const Titles& titles) {
  std::wstring text;
  for (const std::wstring& title : titles) text += title + L"\r\n";
  return text;
}

}  // namespace

// In panel order; the edits' Tab order is this order.
const DetailRow kDetailRows[kDetailRowCount] = {
    {kIdIdProcess, "ED_idProcess", kIdLabelIdProcess, "プロセスID",
     &FormLayout::LL_idProcess, &FormLayout::ED_idProcess, false,
     [](const TQorSvc& e, const Titles&) { return std::to_wstring(e.idProcess); }, true},
    {kIdDisplayName, "ED_DisplayName", kIdLabelDisplayName, "イメージ名",
     &FormLayout::LL_DisplayName, &FormLayout::ED_DisplayName, false,
     [](const TQorSvc& e, const Titles&) { return e.DisplayName; }, true},
    {kIdCompany, "ED_Company", kIdLabelCompany, "会社名", &FormLayout::LL_Company,
     &FormLayout::ED_Company, false, [](const TQorSvc& e, const Titles&) { return e.Company; },
     true},
    {kIdDescription, "ED_Description", kIdLabelDescription, "説　明",
     &FormLayout::LL_Description, &FormLayout::ED_Description, false,
     [](const TQorSvc& e, const Titles&) { return e.Description; }, true},
    {kIdFileName, "ED_FileName", kIdLabelFileName, "実ファイル",
     &FormLayout::LL_FileName, &FormLayout::ED_FileName, false,
     [](const TQorSvc& e, const Titles&) { return e.FileName; }, true},
    {kIdMemo, "MM_Description", 0, nullptr, nullptr, &FormLayout::MM_Description, true,
     [](const TQorSvc&, const Titles& titles) { return Titled(titles); }, true},
};

#include "app/detail_rows.h"

#include "app/control_ids.h"

namespace {

using Titles = std::vector<std::string>;

std::string Titled(const Titles& titles) {
  std::string text;
  for (const std::string& title : titles) text += title + "\r\n";
  return text;
}

}  // namespace

// In panel order; the edits' Tab order is this order.
const DetailRow kDetailRows[kDetailRowCount] = {
    {kIdIdProcess, "ED_idProcess", kIdLabelIdProcess, "プロセスID",
     &FormLayout::LL_idProcess, &FormLayout::ED_idProcess, false,
     [](const TQorSvc& e, const Titles&) { return std::to_string(e.idProcess); }, true, nullptr},
    {kIdDisplayName, "ED_DisplayName", kIdLabelDisplayName, "イメージ名",
     &FormLayout::LL_DisplayName, &FormLayout::ED_DisplayName, false,
     [](const TQorSvc& e, const Titles&) { return e.DisplayName; }, true, &TrueNames::DisplayName},
    {kIdCompany, "ED_Company", kIdLabelCompany, "会社名", &FormLayout::LL_Company,
     &FormLayout::ED_Company, false, [](const TQorSvc& e, const Titles&) { return e.Company; },
     true, nullptr},
    {kIdDescription, "ED_Description", kIdLabelDescription, "説　明",
     &FormLayout::LL_Description, &FormLayout::ED_Description, false,
     [](const TQorSvc& e, const Titles&) { return e.Description; }, true, nullptr},
    {kIdFileName, "ED_FileName", kIdLabelFileName, "実ファイル",
     &FormLayout::LL_FileName, &FormLayout::ED_FileName, false,
     [](const TQorSvc& e, const Titles&) { return e.FileName; }, true, &TrueNames::FileName},
    {kIdMemo, "MM_Description", 0, nullptr, nullptr, &FormLayout::MM_Description, true,
     [](const TQorSvc&, const Titles& titles) { return Titled(titles); }, true, nullptr},
};

std::wstring RowTrueText(const DetailRow& row, const TQorSvc& entry, const EntryTitles& titles,
                         Widen widen) {
  if (row.trueForm) return TrueField(row.read(entry, titles.shown), entry.True.*row.trueForm, widen);
  if (!row.memo) return widen(row.read(entry, titles.shown));
  const std::wstring none;
  std::wstring text;
  for (size_t i = 0; i < titles.shown.size(); ++i) {
    text += TrueField(titles.shown[i], i < titles.trueForms.size() ? titles.trueForms[i] : none, widen);
    text += L"\r\n";
  }
  return text;
}

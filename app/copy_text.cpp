#include "app/copy_text.h"

#include <utility>

#include "app/texts.h"

std::string EntryCopyText(const TQorSvc& svc, const std::vector<std::string>& titles) {
  const std::pair<const char*, const std::string> items[] = {
      {texts::kLabelProcessId, std::to_string(svc.idProcess)},
      {texts::kLabelDisplayName, svc.DisplayName},
      {texts::kLabelCompany, svc.Company},
      {texts::kLabelDescription, svc.Description},
      {texts::kLabelFileName, svc.FileName}};
  std::string text;
  for (const auto& [label, value] : items)
    text += std::string(label) + texts::kCopySeparator + value + "\r\n";
  for (const std::string& title : titles) text += title + "\r\n";
  return text;
}

#include "app/entry_text.h"

#include "app/texts.h"

std::string EntryText(const TQorSvc& s, ListTab tab) {
  std::string text = "[ " + std::to_string(s.idProcess) + " : " + s.DisplayName + " ] ";
  text += tab == ListTab::Processes ? s.FileName : s.WindowText;
  text += texts::kCompanyLine;
  text += s.Company;
  text += texts::kDescriptionLine;
  text += s.Description;
  return text;
}

#include "app/entry_text.h"

#include "app/texts.h"
#include "base/path_text.h"

namespace {

// Wine hands another process's LB_GETTEXT to the list through a 512-byte
// buffer of the list's own stack: a longer entry overwrites that stack
// (measured: 1,094 bytes come back empty, 2,094 kill the program on the next
// scroll; 612 still read whole). So each field is cut well below: a whole
// entry is at most 42 + 48 + 128 + 80 + 80 = 378 bytes. The details panel
// and the copy take the fields from the entry record, whole.
constexpr size_t kNameRoom = 48;
constexpr size_t kSecondRoom = 128;  // the path or the window title
constexpr size_t kCompanyRoom = 80;
constexpr size_t kDescriptionRoom = 80;

// `field` in at most `room` bytes: cut on a character boundary, with "…".
std::string Fitted(const std::string& field, size_t room) {
  if (field.size() <= room) return field;
  static const std::string kEllipsis = "…";
  std::string cut = field;
  CutText(cut, room - kEllipsis.size(), TextEnv{.getenv = nullptr, .isLeadByte = IsCp932LeadByte});
  return cut + kEllipsis;
}

}  // namespace

std::string EntryText(const TQorSvc& s, ListTab tab) {
  std::string text =
      "[ " + std::to_string(s.idProcess) + " : " + Fitted(s.DisplayName, kNameRoom) + " ] ";
  text += Fitted(tab == ListTab::Processes ? s.FileName : s.WindowText, kSecondRoom);
  text += texts::kCompanyLine;
  text += Fitted(s.Company, kCompanyRoom);
  text += texts::kDescriptionLine;
  text += Fitted(s.Description, kDescriptionRoom);
  return text;
}

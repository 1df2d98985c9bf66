#include "app/entry_text.h"

#include "app/texts.h"

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

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// The bytes code page 932 gives a unit: one for ASCII, the half-width
// katakana and the four single bytes the system maps into U+0080 and the
// private use area; two for any other.
size_t Weight(wchar_t c) {
  const bool single = c < 0x81 || (c >= 0xFF61 && c <= 0xFF9F) || (c >= 0xF8F0 && c <= 0xF8F3);
  return single ? 1 : 2;
}

size_t WeightOf(std::wstring_view text) {
  size_t whole = 0;
  for (wchar_t c : text) whole += Weight(c);
  return whole;
}

// `field` in at most `room` bytes as Weight counts them: cut on a character
// boundary, with "…".
std::wstring Fitted(const std::wstring& field, size_t room) {
  if (WeightOf(field) <= room) return field;
  constexpr size_t kEllipsisWeight = 2;
  size_t used = 0, keep = 0;
  for (size_t i = 0; i < field.size();) {
    const size_t n = IsHighSurrogate(field[i]) && i + 1 < field.size() ? 2 : 1;
    const size_t w = WeightOf(std::wstring_view(field).substr(i, n));
    if (used + w > room - kEllipsisWeight) break;
    used += w;
    i += n;
    keep = i;
  }
  return field.substr(0, keep) + L"\u2026";
}

// A window title fitted in `room` with its not-responding mark kept whole:
// only the title before it is cut.
std::wstring FittedTitle(const std::wstring& title, size_t room) {
  const std::wstring_view mark = kNotRespondingMark;
  const bool marked = title.size() >= mark.size() && title.compare(title.size() - mark.size(), mark.size(), mark) == 0;
  if (!marked) return Fitted(title, room);
  return Fitted(title.substr(0, title.size() - mark.size()), room - WeightOf(mark)) + std::wstring(mark);
}

}  // namespace

std::wstring EntryText(const TQorSvc& s, ListTab tab, Widen widen) {
  const bool processes = tab == ListTab::Processes;
  std::wstring text = widen("[ " + std::to_string(s.idProcess) + " : ");
  text += Fitted(s.DisplayName, kNameRoom) + widen(" ] ");
  text += processes ? Fitted(s.FileName, kSecondRoom) : FittedTitle(s.WindowText, kSecondRoom);
  text += widen(texts::kCompanyLine) + Fitted(s.Company, kCompanyRoom);
  text += widen(texts::kDescriptionLine) + Fitted(s.Description, kDescriptionRoom);
  return text;
}

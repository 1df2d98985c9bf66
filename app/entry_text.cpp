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
  CutText(cut, room - kEllipsis.size());
  return cut + kEllipsis;
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// A true form in at most `room` units, counted as EntryTextWide says.
std::wstring FittedTrue(const std::wstring& field, size_t room) {
  auto weight = [](wchar_t c) -> size_t { return c < 0x80 ? 1 : 2; };
  size_t whole = 0;
  for (wchar_t c : field) whole += weight(c);
  if (whole <= room) return field;
  constexpr size_t kEllipsisWeight = 2;
  size_t used = 0, keep = 0;
  for (size_t i = 0; i < field.size();) {
    const size_t n = IsHighSurrogate(field[i]) && i + 1 < field.size() ? 2 : 1;
    size_t w = 0;
    for (size_t k = 0; k < n; ++k) w += weight(field[i + k]);
    if (used + w > room - kEllipsisWeight) break;
    used += w;
    i += n;
    keep = i;
  }
  return field.substr(0, keep) + L"\u2026";
}

template <typename Text>
bool EndsWith(const Text& text, const Text& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The room the not-responding mark takes: its code page bytes, which are
// also its weight as FittedTrue counts UTF-16 units.
constexpr size_t kMarkRoom = sizeof kNotRespondingMark - 1;

// A window title fitted in `room` with its not-responding mark kept whole:
// only the title before it is cut. `fit` cuts a text of this kind.
template <typename Text, typename Fit>
Text FittedTitle(const Text& title, const Text& mark, size_t room, Fit fit) {
  if (!EndsWith(title, mark)) return fit(title, room);
  return fit(title.substr(0, title.size() - mark.size()), room - kMarkRoom) + mark;
}

std::string FittedTitle(const std::string& title, size_t room) {
  return FittedTitle(title, std::string(kNotRespondingMark), room, Fitted);
}

// The entry's pieces in their order, the one place its format is written:
// `field(shown, trueForm, room)` fits a field, `title()` the window title
// with its not-responding mark, `plain(text)` takes the fixed text into the
// entry's form.
template <typename Text, typename Field, typename Title, typename Plain>
Text Compose(const TQorSvc& s, ListTab tab, Field field, Title title, Plain plain) {
  const bool processes = tab == ListTab::Processes;
  Text text = plain("[ " + std::to_string(s.idProcess) + " : ");
  text += field(s.DisplayName, s.True.DisplayName, kNameRoom) + plain(" ] ");
  text += processes ? field(s.FileName, s.True.FileName, kSecondRoom) : title();
  text += plain(texts::kCompanyLine) + field(s.Company, {}, kCompanyRoom);
  text += plain(texts::kDescriptionLine) + field(s.Description, {}, kDescriptionRoom);
  return text;
}

}  // namespace

std::wstring EntryTextWide(const TQorSvc& s, ListTab tab, Widen widen) {
  if (!s.True.Any()) return widen(EntryText(s, tab));
  auto fitted = [&](const std::string& shown, const std::wstring& trueForm, size_t room) {
    return trueForm.empty() ? widen(Fitted(shown, room)) : FittedTrue(trueForm, room);
  };
  auto title = [&] {
    return s.True.WindowText.empty()
               ? widen(FittedTitle(s.WindowText, kSecondRoom))
               : FittedTitle(s.True.WindowText, std::wstring(kNotRespondingMarkWide), kSecondRoom, FittedTrue);
  };
  return Compose<std::wstring>(s, tab, fitted, title, [&](const std::string& t) { return widen(t); });
}

std::string EntryText(const TQorSvc& s, ListTab tab) {
  auto fitted = [](const std::string& shown, const std::wstring&, size_t room) { return Fitted(shown, room); };
  auto title = [&] { return FittedTitle(s.WindowText, kSecondRoom); };
  return Compose<std::string>(s, tab, fitted, title, [](const std::string& t) { return t; });
}

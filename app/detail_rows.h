// The details panel's rows, one a field of the selected entry. Creating,
// measuring, placing, clearing and filling the panel, and copying an entry,
// all follow this table: a new field is a row here (with its label's text),
// its identifiers in control_ids.h and its design boxes in form_layout.h.
#pragma once
#include <string>
#include <vector>

#include "app/form_layout.h"
#include "procinfo/entry_line.h"

struct DetailRow {
  int editId;
  const char* editText;       // the edit's text until a first clearing: the design's name
  int labelId;                // 0 where the row has no label (the memo)
  const char* label;          // also the caption of the row's copied line
  Box FormLayout::*labelBox;  // null where the row has no label
  Box FormLayout::*editBox;
  bool memo;  // several lines, each ending with CR LF
  // The row's text for an entry whose application windows have `titles`.
  std::string (*read)(const TQorSvc& entry, const std::vector<std::string>& titles);
  bool copied;  // part of the text Copy puts on the clipboard
  std::wstring TrueNames::*trueForm;  // the field's true form, where it may have one
};

inline constexpr int kDetailRowCount = 6;
extern const DetailRow kDetailRows[kDetailRowCount];

// The window titles of an entry: as code page 932 text, and the true form
// of each (empty where code page 932 holds it whole).
struct EntryTitles {
  std::vector<std::string> shown;
  std::vector<std::wstring> trueForms;
};

// The row's text as the panel shows it on the NT family: the true forms of
// the entry's names and titles where they have them, else `read` widened.
std::wstring RowTrueText(const DetailRow& row, const TQorSvc& entry, const EntryTitles& titles,
                         Widen widen);

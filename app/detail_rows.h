// The details panel's rows, one a field of the selected entry. Creating,
// measuring, placing, clearing and filling the panel, and copying an entry,
// all follow this table: a new field is a row here (with its label's text),
// its identifiers in control_ids.h and its design boxes in form_layout.h.
#pragma once
#include <string>
#include <vector>

#include "app/form_layout.h"
#include "model/entry.h"

struct DetailRow {
  int editId;
  const char* editText;       // the edit's text until a first clearing: the design's name
  int labelId;                // 0 where the row has no label (the memo)
  const char* label;          // also the caption of the row's copied line
  Box FormLayout::*labelBox;  // null where the row has no label
  Box FormLayout::*editBox;
  bool memo;  // several lines, each ending with CR LF
  // The row's text for an entry whose application windows have `titles`.
  std::wstring (*read)(const TQorSvc& entry, const std::vector<std::wstring>& titles);
  bool copied;  // part of the text Copy puts on the clipboard
};

inline constexpr int kDetailRowCount = 6;
extern const DetailRow kDetailRows[kDetailRowCount];

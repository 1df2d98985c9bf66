// The text Copy puts on the clipboard for one entry.
#pragma once
#include <string>
#include <vector>

#include "app/entry_text.h"
#include "model/entry.h"

// The details panel's copied rows in panel order: a labelled row as one
// line after its label, the memo's window titles as it lists them. Lines end
// with CR LF. `widen` converts the labels.
std::wstring EntryCopyText(const TQorSvc& svc, const std::vector<std::wstring>& titles, Widen widen);

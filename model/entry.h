// The entry record: one listed process, or one of its application windows,
// with the identity actions check and its texts whole, in UTF-16. Code page
// 932 forms are made from it where bytes are needed.
#pragma once
#include <cstdint>
#include <string>

struct TQorSvc {
  uint32_t idProcess = 0;
  // When the process started (FILETIME ticks) as the entry's reading saw
  // it; 0 where that could not be read. With idProcess, who the entry is.
  uint64_t created = 0;
  std::wstring DisplayName;
  std::wstring FileName;
  std::wstring Company;
  std::wstring Description;
  std::wstring WindowText;  // application entries only
};

// What an application entry's title ends with while its window does not
// answer (a screen reader reads it with the title).
inline constexpr wchar_t kNotRespondingMark[] = L" (\u5FDC\u7B54\u306A\u3057)";

// The record as the list keeps it: a TAB, CR or LF in the name, path,
// company or description becomes a blank; the title ends before the first
// TAB, CR, LF or NUL. Nothing a file or a window holds can start another
// field or line of an entry.
void AsListed(TQorSvc& svc);

// Marks the record's window title as not answering, after it is listed.
void MarkNotResponding(TQorSvc& svc);

// Fuzz target: entry lines and identifier texts.
#include <cstdint>
#include <string>

#include "procinfo/entry_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  TQorSvc svc;
  LineToSvc(text, svc);
  // A record written out and read back keeps its identifier.
  TQorSvc back;
  LineToSvc(EntryLine(svc), back);
  if (back.idProcess != svc.idProcess) __builtin_trap();
  // Whatever bytes the file fields carry, they stay in their own fields.
  // (A field never holds a NUL: values are copied up to theirs.)
  const std::string field = text.substr(0, text.find('\0'));
  TQorSvc forged{svc.idProcess, field, field, field, field, "Title"};
  LineToSvc(EntryLine(forged), back);
  std::string cut = field;
  for (char& c : cut)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  if (back.Company != cut || back.Description != cut || back.WindowText != "Title")
    __builtin_trap();
  HexToDWord(text);
  SplitLines(text);
  return 0;
}

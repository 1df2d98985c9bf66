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
  HexToDWord(text);
  SplitLines(text);
  return 0;
}

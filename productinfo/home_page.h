// Handing an address to the web browser over DDE (starting the browser if
// no server answers), and the registry reads that find the browser.
#pragma once
#include <windows.h>

#include <string>

#include "base/handles.h"

// The program's one DDE instance, made when the link is first used (making
// it at start-up costs more the more windows the desktop holds) and kept
// until exit.
class DdeSession {
 public:
  // The instance, made on first use; 0 when it cannot be made.
  DWORD Instance();

 private:
  base::UniqueDdeInstance instance_;  // owned
};

// 0 when the command was handed to a DDE server, -1 otherwise.
int OpenUrlInBrowser(DdeSession* dde, const std::string& url);

// The program-files directory from the registry; empty when it has none.
void GetProgramFilesDir(std::string& dir);

// 0 when the key opened and the value exists (text only for REG_SZ and
// REG_EXPAND_SZ, empty for other types); -1 otherwise.
int ReadRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                  std::string& value);

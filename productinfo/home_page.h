// The link to the maker's home page: a confirmation, then the address handed
// to the web browser over DDE (starting the browser if no server answers),
// and to the default browser when no DDE server takes it.
#pragma once
#include <windows.h>

#include <string>

#include "ui/handles.h"

// The program's one DDE instance, from start-up to exit.
class DdeSession {
 public:
  DdeSession();
  DWORD Instance() const { return instance_.get(); }

 private:
  ui::UniqueDdeInstance instance_;  // owned
};

enum class DialogType { Confirmation };

// The standard message dialog with Yes (default) and No (cancel) buttons,
// icon and text centred on each other. Returns IDYES, IDNO or IDCANCEL.
int AlignedMessageDlg(HWND owner, const std::string& text, DialogType type);

void OpenHomePage(HWND owner, DdeSession* dde);

// 0 when the command was handed to a DDE server, -1 otherwise.
int OpenUrlInBrowser(DdeSession* dde, const std::string& url);

// The program-files directory from the registry; empty when it has none.
void GetProgramFilesDir(std::string& dir);

// 0 when the key opened and the value exists (text only for REG_SZ and
// REG_EXPAND_SZ, empty for other types); -1 otherwise.
int ReadRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                  std::string& value);

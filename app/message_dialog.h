// The confirmation dialog and the home-page link it guards.
#pragma once
#include <windows.h>

#include <string>

class DdeSession;

enum class DialogType { Confirmation };

// The standard message dialog with Yes (default) and No (cancel) buttons,
// icon and text centred on each other. Returns IDYES, IDNO or IDCANCEL.
int AlignedMessageDlg(HWND owner, const std::string& text, DialogType type);

// Asks first; then the address goes to the browser over DDE, or to the
// default browser when no DDE server takes it.
void OpenHomePage(HWND owner, DdeSession* dde);

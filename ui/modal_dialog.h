// A modal dialog on the system's dialog manager: DialogBoxIndirectParam over
// an in-memory template without controls, of a window class of our own.
// The subclass builds its children when the dialog starts; Tab, Enter,
// Escape and the end of the program (the dialog manager leaves a WM_QUIT
// for the program's own loop) behave as in any Windows dialog.
#pragma once
#include <windows.h>

namespace ui {

struct DialogFrame {
  const char* className = nullptr;  // registered by RegisterDialogClass
  DWORD style = 0;
  DWORD exStyle = 0;
};

// A window class whose windows the dialog manager can run: DefDlgProc with
// the extra bytes it keeps.
void RegisterDialogClass(const char* name);

class ModalDialog {
 public:
  ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;
  virtual ~ModalDialog() = default;

  // Returns what End was given, or -1 when the dialog could not be made.
  INT_PTR RunModal(HWND owner, const DialogFrame& frame);

 protected:
  HWND hwnd() const { return hwnd_; }
  void End(INT_PTR result) { EndDialog(hwnd_, result); }
  // Builds the children; false when it set the focus itself.
  virtual bool OnInitDialog() = 0;
  // WM_COMMAND; true when handled.
  virtual bool OnCommand(int id, HWND control) = 0;
  // The close box, Alt+F4 and the system menu's close.
  virtual void OnClose() = 0;
  // Any other message; true when handled.
  virtual bool OnMessage(UINT, WPARAM, LPARAM) { return false; }

 private:
  static INT_PTR CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;  // borrowed: the dialog manager destroys it
};

}  // namespace ui

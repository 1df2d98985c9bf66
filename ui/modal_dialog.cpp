#include "ui/modal_dialog.h"

#include <cstring>
#include <vector>

#include "ui/text_calls.h"
#include "ui/window.h"

namespace ui {

namespace {

// DLGTEMPLATE (without controls), then the menu, class and title arrays.
std::vector<WORD> TemplateOf(const DialogFrame& frame) {
  static_assert(sizeof(DLGTEMPLATE) == 18, "the header is packed to 18 bytes");
  DLGTEMPLATE head{};
  head.style = frame.style;
  head.dwExtendedStyle = frame.exStyle;
  std::vector<WORD> t(sizeof head / sizeof(WORD));
  std::memcpy(t.data(), &head, sizeof head);
  t.push_back(0);  // no menu
  for (const char* c = frame.className; *c; ++c) t.push_back(static_cast<unsigned char>(*c));
  t.push_back(0);
  t.push_back(0);  // no title: the subclass sets it in its own code page
  return t;
}

}  // namespace

void RegisterDialogClass(const char* name) {
  RegisterModuleClass({.lpfnWndProc = DialogDefProc(), .cbWndExtra = DLGWINDOWEXTRA,
                       .hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                       .lpszClassName = name});
}

INT_PTR ModalDialog::RunModal(HWND owner, const DialogFrame& frame) {
  const std::vector<WORD> t = TemplateOf(frame);
  const auto* dlg = reinterpret_cast<const DLGTEMPLATE*>(t.data());
  const LPARAM self = reinterpret_cast<LPARAM>(this);
  // A Unicode dialog on the NT family: its texts are UTF-16.
  return DialogBoxIndirect932(dlg, owner, Proc, self);
}

INT_PTR CALLBACK ModalDialog::Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<ModalDialog*>(lp);
    self->hwnd_ = w;
    SetWindowLongPtrA(w, DWLP_USER, lp);
  }
  auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(w, DWLP_USER));
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  try {
    result = self->Handle(msg, wp, lp);
  } catch (...) {
    // Nothing may unwind through the dialog manager: end the dialog instead.
    EndDialog(w, IDCANCEL);
    result = TRUE;
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(w, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

INT_PTR ModalDialog::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    case WM_CLOSE:
      OnClose();
      return TRUE;
    default:
      return OnMessage(msg, wp, lp) ? TRUE : FALSE;
  }
}

}  // namespace ui

#include "app/message_dialog.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/dialog_align.h"
#include "app/texts.h"
#include "productinfo/home_page.h"
#include "ui/dpi.h"
#include "ui/font.h"
#include "ui/gdi.h"
#include "ui/modal_dialog.h"
#include "ui/text_calls.h"
#include "ui/window.h"

namespace {

constexpr char kDialogClass[] = "TMessageForm";

// The message dialog: its components built and aligned before it shows.
class MessageForm : public ui::ModalDialog {
 public:
  struct Component {
    const char* className;
    HWND window;  // borrowed: a child of the dialog
  };

  explicit MessageForm(const std::string& text) : text_(text) {}

  int Run(HWND owner) {
    ui::RegisterDialogClass(kDialogClass);
    dpi_ = ui::WindowDpi(owner);
    font_ = ui::CreateFormFont(dpi_);
    const ui::DialogFrame frame{kDialogClass, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};
    const INT_PTR result = RunModal(owner, frame);
    return result == -1 ? IDCANCEL : static_cast<int>(result);
  }

 protected:
  bool OnInitDialog() override {
    ui::SetWindowText932(hwnd(), texts::kConfirmCaption);
    if (!Build(text_)) {
      End(IDCANCEL);  // a dialog without its buttons is never shown: taken as "No"
      return false;
    }
    return false;  // the focus is on "Yes"
  }

  bool OnCommand(int id, HWND control) override {
    // Escape reaches the cancel command, which is "No".
    if (control || id == IDCANCEL) End(id == IDYES ? IDYES : IDNO);
    return true;
  }

  void OnClose() override { End(IDCANCEL); }

 private:
  HWND Child(const char* cls, const char* text, DWORD style, int id, const char* kind) {
    HWND w = ui::CreateWindow932(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr);
    if (!w) return nullptr;
    SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    components_.push_back({kind, w});
    return w;
  }

  bool Build(const std::string& text) {
    HWND image = Child("STATIC", "", SS_ICON, 0, "TImage");
    HWND label = Child("STATIC", text.c_str(), SS_LEFT | SS_NOPREFIX, 0, "TLabel");
    HWND yes = Child("BUTTON", texts::kYes, BS_DEFPUSHBUTTON | WS_TABSTOP, IDYES, "TButton");
    HWND no = Child("BUTTON", texts::kNo, BS_PUSHBUTTON | WS_TABSTOP, IDNO, "TButton");
    if (!image || !label || !yes || !no) return false;
    const RECT work = ui::WorkAreaOf(GetWindow(hwnd(), GW_OWNER));
    const SIZE size = Place();
    // Centred on the work area of the owner's screen.
    SetWindowPos(hwnd(), nullptr, (work.left + work.right - size.cx) / 2,
                 (work.top + work.bottom - size.cy) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetFocus(yes);
    return true;
  }

  // Sizes the dialog and places its components for dpi_; returns its outer size.
  SIZE Place() {
    HWND image = FirstOf("TImage"), label = FirstOf("TLabel");
    HWND yes = GetDlgItem(hwnd(), IDYES), no = GetDlgItem(hwnd(), IDNO);
    SIZE avg = ui::MeasureText(font_.get(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int dux = (avg.cx / 26 + 1) / 2, duy = avg.cy;
    const int hMargin = dux * 8 / 4, vMargin = duy * 8 / 8, spacing = ui::ScaleForDpi(10, dpi_);
    const int iconSize = ui::IconSizeForDpi(dpi_);
    const int buttonW = dux * 50 / 4, buttonH = duy * 14 / 8, buttonGap = dux * 4 / 4;
    RECT tr{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    {
      ui::ClientDC dc(hwnd());
      ui::Selected sel(dc.get(), font_.get());
      ui::DrawText932(dc.get(), text_, &tr, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    SendMessageA(image, STM_SETICON, reinterpret_cast<WPARAM>(QuestionIcon(iconSize)), 0);
    const int textW = tr.right, textH = tr.bottom;
    const int iconTextW = iconSize + spacing + textW, iconTextH = std::max(iconSize, textH);
    const int buttonsW = 2 * buttonW + buttonGap;
    const int clientW = std::max(iconTextW, buttonsW) + 2 * hMargin;
    const int clientH = iconTextH + spacing + buttonH + 2 * vMargin;
    MoveWindow(image, hMargin, vMargin, iconSize, iconSize, FALSE);
    MoveWindow(label, hMargin + iconSize + spacing, vMargin, textW, textH, FALSE);
    const int bx = (clientW - buttonsW) / 2, by = iconTextH + vMargin + spacing;
    MoveWindow(yes, bx, by, buttonW, buttonH, FALSE);
    MoveWindow(no, bx + buttonW + buttonGap, by, buttonW, buttonH, FALSE);
    RECT outer{0, 0, clientW, clientH};
    AdjustWindowRectEx(&outer, GetWindowLongA(hwnd(), GWL_STYLE), FALSE,
                       GetWindowLongA(hwnd(), GWL_EXSTYLE));
    const SIZE size{outer.right - outer.left, outer.bottom - outer.top};
    SetWindowPos(hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Align();
    return size;
  }

  // Moved to a screen of another DPI: drawn for it, where the system suggests.
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg != ui::kWmDpiChanged || !FirstOf("TImage")) return false;
    dpi_ = HIWORD(wp);
    if (ui::UniqueFont font = ui::CreateFormFont(dpi_)) {  // else the old one stays
      for (const Component& c : components_)
        SendMessageA(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
      font_ = std::move(font);
    }
    Place();
    const RECT* suggested = reinterpret_cast<const RECT*>(lp);
    SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, TRUE);
    return true;
  }

  // The system's question icon at `size`: its shared one where that is the size.
  HICON QuestionIcon(int size) {
    if (size == GetSystemMetrics(SM_CXICON)) return LoadIconA(nullptr, IDI_QUESTION);
    icon_.reset(static_cast<HICON>(LoadImageA(nullptr, IDI_QUESTION, IMAGE_ICON, size, size, 0)));
    return icon_.get();
  }

  HWND FirstOf(const char* kind) const {
    for (const Component& c : components_)
      if (std::strcmp(c.className, kind) == 0) return c.window;
    return nullptr;
  }

  void Align() {
    HWND image = FirstOf("TImage"), label = FirstOf("TLabel");
    if (!image || !label) return;
    Box i = ui::BoundsInParent(image), l = ui::BoundsInParent(label);
    AlignedTops t = AlignIconAndText(i.top, i.height, l.top, l.height);
    MoveWindow(image, i.left, t.imageTop, i.width, i.height, FALSE);
    MoveWindow(label, l.left, t.labelTop, l.width, l.height, FALSE);
  }


  const std::string text_;
  int dpi_ = ui::kDesignDpi;  // the owner's
  ui::UniqueFont font_;       // owned
  ui::UniqueIcon icon_;       // owned when not the system's shared one
  std::vector<Component> components_;
};

}  // namespace

int AlignedMessageDlg(HWND owner, const std::string& text, DialogType) {
  MessageForm form(text);
  return form.Run(owner);
}

void OpenHomePage(HWND owner, DdeSession* dde) {
  if (AlignedMessageDlg(owner, texts::kConfirmText, DialogType::Confirmation) != IDYES) return;
  if (OpenUrlInBrowser(dde, texts::kHomePage) != 0) {
    // No browser serves DDE any more on current systems: the default browser.
    ShellExecuteA(owner, "open", texts::kHomePage, nullptr, nullptr, SW_SHOWNORMAL);
  }
}

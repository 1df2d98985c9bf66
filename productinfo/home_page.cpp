#include "productinfo/home_page.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

#include "app/texts.h"
#include "productinfo/dialog_align.h"
#include "productinfo/qorfunc.h"
#include "productinfo/version_text.h"
#include "ui/font.h"
#include "ui/window.h"

namespace {

constexpr char kService[] = "IExplore";
constexpr char kTopic[] = "WWW_openUrl";
constexpr char kBrowserPath[] = "\\Internet Explorer\\IEXPLORE.EXE";
constexpr char kVersionKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

HDDEDATA CALLBACK DdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

// A DDE string handle, freed with the instance it belongs to.
class DdeString {
 public:
  DdeString(DWORD inst, const char* text)
      : inst_(inst), hsz_(DdeCreateStringHandleA(inst, text, CP_WINANSI)) {}
  ~DdeString() {
    if (hsz_) DdeFreeStringHandle(inst_, hsz_);
  }
  DdeString(const DdeString&) = delete;
  DdeString& operator=(const DdeString&) = delete;
  HSZ get() const { return hsz_; }

 private:
  DWORD inst_;
  HSZ hsz_;  // owned
};

// The message dialog: built hidden, components aligned, then shown modally.
class MessageForm : public ui::Window {
 public:
  struct Component {
    const char* className;
    HWND window;  // borrowed: a child of the dialog
  };

  int Run(HWND owner, const std::string& text) {
    RegisterClassOnce("TMessageForm", nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    font_ = ui::CreateFormFont();
    if (!CreateWin(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, "TMessageForm", texts::kConfirmCaption,
                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, 0, 100, 100, owner, 0))
      return IDCANCEL;
    Build(text);
    Align();
    return ShowModal(owner);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_COMMAND && lp) {
      int id = LOWORD(wp);
      // Escape reaches the cancel button, which is "No".
      result_ = (id == IDYES) ? IDYES : IDNO;
      done_ = true;
      return 0;
    }
    if (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL) {
      result_ = IDNO;
      done_ = true;
      return 0;
    }
    if (msg == WM_CLOSE) {
      result_ = IDCANCEL;
      done_ = true;
      return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
  }

 private:
  HWND Child(const char* cls, const char* text, DWORD style, int id, const char* kind) {
    HWND w = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleA(nullptr), nullptr);
    SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    components_.push_back({kind, w});
    return w;
  }

  void Build(const std::string& text) {
    SIZE avg = ui::MeasureText(font_.get(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int dux = (avg.cx / 26 + 1) / 2, duy = avg.cy;
    const int hMargin = dux * 8 / 4, vMargin = duy * 8 / 8, spacing = 10;
    const int buttonW = dux * 50 / 4, buttonH = duy * 14 / 8, buttonGap = dux * 4 / 4;
    RECT tr{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    {
      ui::WindowDC dc(hwnd());
      ui::Selected sel(dc.get(), font_.get());
      DrawTextA(dc.get(), text.c_str(), -1, &tr, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    HWND image = Child("STATIC", "", SS_ICON, 0, "TImage");
    SendMessageA(image, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_QUESTION)), 0);
    HWND label = Child("STATIC", text.c_str(), SS_LEFT | SS_NOPREFIX, 0, "TLabel");
    HWND yes = Child("BUTTON", texts::kYes, BS_DEFPUSHBUTTON | WS_TABSTOP, IDYES, "TButton");
    HWND no = Child("BUTTON", texts::kNo, BS_PUSHBUTTON | WS_TABSTOP, IDNO, "TButton");
    const int textW = tr.right, textH = tr.bottom;
    const int iconTextW = 32 + spacing + textW, iconTextH = std::max(32, textH);
    const int buttonsW = 2 * buttonW + buttonGap;
    const int clientW = std::max(iconTextW, buttonsW) + 2 * hMargin;
    const int clientH = iconTextH + spacing + buttonH + 2 * vMargin;
    MoveWindow(image, hMargin, vMargin, 32, 32, FALSE);
    MoveWindow(label, hMargin + 32 + spacing, vMargin, textW, textH, FALSE);
    const int bx = (clientW - buttonsW) / 2, by = iconTextH + vMargin + spacing;
    MoveWindow(yes, bx, by, buttonW, buttonH, FALSE);
    MoveWindow(no, bx + buttonW + buttonGap, by, buttonW, buttonH, FALSE);
    RECT outer{0, 0, clientW, clientH};
    AdjustWindowRectEx(&outer, GetWindowLongA(hwnd(), GWL_STYLE), FALSE,
                       GetWindowLongA(hwnd(), GWL_EXSTYLE));
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    SetWindowPos(hwnd(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    SetFocus(yes);
  }

  HWND FirstOf(const char* kind) const {
    for (const Component& c : components_)
      if (std::strcmp(c.className, kind) == 0) return c.window;
    return nullptr;
  }

  void Align() {
    HWND image = FirstOf("TImage"), label = FirstOf("TLabel");
    if (!image || !label) return;
    Box i = BoxOf(image), l = BoxOf(label);
    AlignedTops t = AlignIconAndText(i.top, i.height, l.top, l.height);
    MoveWindow(image, i.left, t.imageTop, i.width, i.height, FALSE);
    MoveWindow(label, l.left, t.labelTop, l.width, l.height, FALSE);
  }

  Box BoxOf(HWND w) const {
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
  }

  int ShowModal(HWND owner) {
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(hwnd(), SW_SHOW);
    SetFocus(GetDlgItem(hwnd(), IDYES));
    MSG msg;
    while (!done_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (!IsDialogMessageA(hwnd(), &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    if (owner) EnableWindow(owner, TRUE);
    ShowWindow(hwnd(), SW_HIDE);
    if (owner) SetActiveWindow(owner);
    return result_;
  }

  ui::UniqueFont font_;  // owned
  std::vector<Component> components_;
  int result_ = IDCANCEL;
  bool done_ = false;
};

}  // namespace

DdeSession::DdeSession() {
  DWORD inst = 0;
  if (DdeInitializeA(&inst, DdeCallback, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR)
    instance_.reset(inst);
}

int AlignedMessageDlg(HWND owner, const std::string& text, DialogType) {
  MessageForm form;
  return form.Run(owner, text);
}

void OpenHomePage(HWND owner, DdeSession* dde) {
  if (AlignedMessageDlg(owner, texts::kConfirmText, DialogType::Confirmation) != IDYES) return;
  if (OpenUrlInBrowser(dde, texts::kHomePage) != 0) {
    // No browser serves DDE any more on current systems: the default browser.
    ShellExecuteA(owner, "open", texts::kHomePage, nullptr, nullptr, SW_SHOWNORMAL);
  }
}

int OpenUrlInBrowser(DdeSession* dde, const std::string& url) {
  if (!dde || !dde->Instance()) return -1;
  const DWORD inst = dde->Instance();
  std::string browser;
  GetProgramFilesDir(browser);
  browser += kBrowserPath;
  ExpandEnvVar(browser);
  DdeString service(inst, kService), topic(inst, kTopic);
  CONVCONTEXT context{};
  context.cb = sizeof context;
  context.iCodePage = CP_WINANSI;
  HCONV conv = DdeConnect(inst, service.get(), topic.get(), &context);
  if (!conv) {
    // Quoted, so that a blank in the path cannot start another program.
    const std::string command = "\"" + browser + "\"";
    if (WinExec(command.c_str(), SW_SHOWMINNOACTIVE) > 31)
      conv = DdeConnect(inst, service.get(), topic.get(), &context);
  }
  if (!conv) return -1;
  int result = -1;
  const std::string command = OpenUrlCommand(url);
  HDDEDATA data = DdeCreateDataHandle(inst, reinterpret_cast<LPBYTE>(const_cast<char*>(command.c_str())),
                                      static_cast<DWORD>(command.size() + 1), 0, nullptr, CF_TEXT, 0);
  DWORD transaction = 0;
  if (data && DdeClientTransaction(reinterpret_cast<LPBYTE>(data), static_cast<DWORD>(-1), conv,
                                   nullptr, CF_TEXT, XTYP_EXECUTE, TIMEOUT_ASYNC, &transaction))
    result = 0;
  DdeDisconnect(conv);
  return result;
}

void GetProgramFilesDir(std::string& dir) {
  ReadRegString(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir", dir);
}

int ReadRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                  std::string& value) {
  value.clear();
  std::string path = (!keyPath.empty() && keyPath[0] == '\\') ? keyPath.substr(1) : keyPath;
  HKEY key = nullptr;
  const REGSAM rights[] = {KEY_READ, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                           KEY_QUERY_VALUE};
  for (REGSAM access : rights)
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &key) == ERROR_SUCCESS) break;
  if (!key) return -1;
  ui::UniqueKey owned(key);
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return -1;
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
    std::vector<char> buf(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buf.data()), &got) == ERROR_SUCCESS)
      value = std::string(buf.data(), strnlen(buf.data(), std::min<size_t>(got, size)));
  }
  return 0;
}

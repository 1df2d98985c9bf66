#include "app/details/details_window.h"

#include <algorithm>
#include <cstring>

#include "app/clipboard.h"
#include "app/control_ids.h"
#include "app/texts.h"
#include "base/shown_text.h"
#include "procinfo/process_api.h"
#include "ui/dpi.h"
#include "ui/font.h"
#include "ui/text_calls.h"

namespace {

constexpr char kDetailsClass[] = "TDetails";
constexpr UINT_PTR kLiveTimer = 1;
constexpr UINT kLivePeriod = 1000;
// Asks the window to copy every field; answers 1 when it did.
constexpr UINT kWmCopyAll = WM_APP + 20;
constexpr int kFirstId = kIdDetailsField, kModulesId = kIdDetailsModules, kReloadId = kIdDetailsReload,
              kCloseId = IDCANCEL;
constexpr int kImageRows = kDfFirstLive, kLiveRows = kDfCount - kDfFirstLive;
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

int S(int value, int dpi) { return ui::ScaleForDpi(value, dpi); }

// The top-level window a message's window belongs to.
HWND RootOf(HWND w) {
  while (w && (GetWindowLongA(w, GWL_STYLE) & WS_CHILD)) w = GetParent(w);
  return w;
}

bool IsDetailsWindow(HWND w) {
  char cls[32] = {};
  return w && GetClassNameA(w, cls, sizeof cls) && std::strcmp(cls, kDetailsClass) == 0;
}

}  // namespace

bool DetailsWindow::Open(HWND owner) {
  RegisterClassOnce(kDetailsClass,
                    LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kResProgramIcon)),
                    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  const std::string title = std::string(texts::kDetailsTitle) + " - " + ShownText(subject_.name) +
                            " (" + std::to_string(subject_.pid) + ")";
  if (!CreateWin(WS_EX_CONTROLPARENT, kDetailsClass, title.c_str(), kStyle, CW_USEDEFAULT, 0, 100,
                 100, owner, 0))
    return false;
  if (WideSystem()) SetWindowTextW(hwnd(), (WideText(texts::kDetailsTitle) + L" - " + subject_.name +
                                            L" (" + std::to_wstring(subject_.pid) + L")").c_str());
  nt_ = PlatformId() == VER_PLATFORM_WIN32_NT;
  font_ = ui::CreateFormFont(ui::WindowDpi(owner));
  const char* headings[3] = {texts::kDetailsImage, texts::kDetailsPerformance, texts::kDetailsModules};
  for (int k = 0; k < 3; ++k)
    if (!headings_[k].Create({.parent = hwnd(), .text = headings[k], .font = font_.get()})) return false;
  // The rest is made a part at a time, each in a message of its own: made
  // at once, its 60 windows held every window of the thread ~100 ms.
  PostMessageA(hwnd(), kWmBuild, 0, 0);
  return true;
}

// The next kFieldsAtOnce fields; after the last, the rest and the layout.
void DetailsWindow::Build() {
  constexpr int kFieldsAtOnce = 6;
  const int first = nextField_;
  nextField_ = std::min(first + kFieldsAtOnce, int{kDfCount});
  // Each label just before its field: a screen reader names the field by it.
  for (int f = first; f < nextField_; ++f) {
    if (!labels_[f].Create({.parent = hwnd(), .text = kDetailLabels[f], .font = font_.get()}) ||
        !values_[f].Create({.parent = hwnd(), .bounds = {}, .id = kFirstId + f, .text = "", .tabStop = true}))
      return (void)DestroyWindow(hwnd());
  }
  if (nextField_ < kDfCount) {
    PostMessageA(hwnd(), kWmBuild, 0, 0);
    return;
  }
  laidOut_ = true;
  if (!CreateFields()) return (void)DestroyWindow(hwnd());
  const HWND owner = GetWindow(hwnd(), GW_OWNER);
  const Box client = Layout(ui::WindowDpi(owner));
  RECT outer{0, 0, client.width, client.height};
  AdjustWindowRectEx(&outer, kStyle, FALSE, WS_EX_CONTROLPARENT);
  const RECT work = ui::WorkAreaOf(owner);
  const int w = outer.right - outer.left, h = outer.bottom - outer.top;
  SetWindowPos(hwnd(), nullptr, std::max<int>(work.left, (work.left + work.right - w) / 2),
               std::max<int>(work.top, (work.top + work.bottom - h) / 2), w, h,
               SWP_NOZORDER | SWP_NOACTIVATE);
  PostMessageA(hwnd(), kWmShow, 0, 0);
}

// What is still to be made, made now: a change of DPI lays out the whole window.
void DetailsWindow::BuildNow() {
  while (hwnd() && !laidOut_) Build();
  if (hwnd() && !built_) Show();
}

void DetailsWindow::Show() {
  built_ = true;
  ReadImage();  // the rest follows once its facts are in
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  SetFocus(close_.hwnd());
}

bool DetailsWindow::CreateFields() {
  if (!modules_.Create({.parent = hwnd(), .bounds = {}, .id = kModulesId, .kind = ui::Edit::Kind::Memo,
                        .text = "", .tabStop = true, .unwrapped = true}) ||
      !reload_.Create({.parent = hwnd(), .bounds = {}, .id = kReloadId, .caption = texts::kReget}) ||
      !close_.Create({.parent = hwnd(), .bounds = {}, .id = kCloseId, .caption = texts::kClose}))
    return false;
  // Columns (name, base, size, path, company, description) in dialog units,
  // which follow the font.
  INT columns[] = {84, 136, 184, 440, 560};
  SendMessageA(modules_.hwnd(), EM_SETTABSTOPS, std::size(columns), reinterpret_cast<LPARAM>(columns));
  SetFonts();
  reload_.OnClick = [this] { ReadModuleList(); };
  return true;
}

void DetailsWindow::SetFonts() {
  for (ui::Label& l : labels_) l.SetFontAndSize(font_.get());
  for (ui::Label& l : headings_) l.SetFontAndSize(font_.get());
  for (ui::Edit& e : values_) e.SetFont(font_.get());
  for (ui::Control* c : {static_cast<ui::Control*>(&modules_), static_cast<ui::Control*>(&reload_),
                         static_cast<ui::Control*>(&close_)})
    c->SetFont(font_.get());
}

void DetailsWindow::DpiChanged(int dpi, const RECT& suggested) {
  font_ = ui::CreateFormFont(dpi);
  SetFonts();
  const Box client = Layout(dpi);
  RECT outer{0, 0, client.width, client.height};
  AdjustWindowRectEx(&outer, kStyle, FALSE, WS_EX_CONTROLPARENT);
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, outer.right - outer.left,
               outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

Box DetailsWindow::Layout(int dpi) {
  const int textH = ui::MeasureText(font_.get(), "あ").cy;
  const int margin = S(8, dpi), gap = S(4, dpi), rowH = textH + S(8, dpi);
  const int headH = textH + S(6, dpi), labelGap = S(6, dpi), columnGap = S(16, dpi);
  int labelW = 0;
  for (const ui::Label& l : labels_) labelW = std::max(labelW, l.Width());
  // Two columns side by side, as wide as the work area lets them be.
  const RECT work = ui::WorkAreaOf(hwnd());
  const int frame = 2 * (GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXEDGE));
  const int room = (work.right - work.left) - frame - 2 * margin - columnGap - 2 * (labelW + labelGap);
  const int valueW = std::max(S(120, dpi), std::min(S(280, dpi), room / 2));
  const int columnW = labelW + labelGap + valueW;
  const int x[2] = {margin, margin + columnW + columnGap};
  const int top = margin + headH;
  headings_[0].SetBounds({x[0], margin, headings_[0].Width(), headings_[0].Height()});
  headings_[1].SetBounds({x[1], margin, headings_[1].Width(), headings_[1].Height()});
  for (int f = 0; f < kDfCount; ++f) {
    const int column = f < kDfFirstLive ? 0 : 1, row = column ? f - kDfFirstLive : f;
    const int y = top + row * (rowH + gap);
    labels_[f].SetBounds({x[column], y + (rowH - labels_[f].Height()) / 2, labels_[f].Width(),
                          labels_[f].Height()});
    values_[f].SetBounds({x[column] + labelW + labelGap, y, valueW, rowH});
  }
  const int width = x[1] + columnW + margin;
  int y = top + std::max(kImageRows, kLiveRows) * (rowH + gap) + gap;
  headings_[2].SetBounds({margin, y, headings_[2].Width(), headings_[2].Height()});
  y += headH;
  // The module list takes what height is left, from two lines to ten.
  const SIZE reloadText = ui::MeasureText(font_.get(), texts::kReget);
  const int buttonW = std::max<int>(S(96, dpi), reloadText.cx + S(24, dpi));
  const int buttonH = textH + S(12, dpi);
  const int caption = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
  const int left = (work.bottom - work.top) - caption - y - buttonH - 3 * margin;
  const int memoH = std::clamp(left, 2 * textH + S(8, dpi), 10 * textH + S(8, dpi));
  modules_.SetBounds({margin, y, width - 2 * margin, memoH});
  y += memoH + margin;
  close_.SetBounds({width - margin - buttonW, y, buttonW, buttonH});
  reload_.SetBounds({width - 2 * (margin + buttonW), y, buttonW, buttonH});
  return {0, 0, width, y + buttonH + margin};
}

void DetailsWindow::SetValue(int field, const std::wstring& text) {
  if (shown_[field] == text) return;  // unchanged: its selection and scroll stay
  shown_[field] = text;
  values_[field].SetText(text);
}

void DetailsWindow::ShowEnded() {
  ended_ = true;
  KillTimer(hwnd(), kLiveTimer);
  for (int f = kDfFirstLive; f < kDfCount; ++f) SetValue(f, detail_text::kEnded);
}

bool DetailsWindow::ShowsSelection() const {
  HWND focus = GetFocus();
  if (!focus || GetParent(focus) != hwnd()) return false;
  DWORD from = 0, to = 0;
  const bool edit = focus == modules_.hwnd() ||
                    std::any_of(std::begin(values_), std::end(values_),
                                [focus](const ui::Edit& e) { return e.hwnd() == focus; });
  if (!edit) return false;
  SendMessageA(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  return from != to;
}

void DetailsWindow::CopyAll() {
  PutOnClipboard(hwnd(), DetailsCopyText(shown_, moduleText_, WideText));
}

bool DetailsWindow::PreTranslate(MSG& msg) {
  HWND root = RootOf(msg.hwnd);
  if (!IsDetailsWindow(root)) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == 'C' && GetKeyState(VK_CONTROL) < 0 &&
      GetKeyState(VK_MENU) >= 0 && SendMessageA(root, kWmCopyAll, 0, 0) == 1)
    return true;
  return ui::DialogMessage(root, msg);
}

LRESULT DetailsWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      // Nothing is read while nobody can see the figures (hidden with its
      // minimized owner, or minimized itself).
      if (wp == kLiveTimer && IsWindowVisible(hwnd()) && !IsIconic(hwnd()) &&
          !IsIconic(GetWindow(hwnd(), GW_OWNER)))
        ReadLive();
      return 0;
    case kWmImageRead: {
      ImageFacts facts;
      if (!imageReading_.Take(facts)) return 0;
      ShowImage(std::move(facts));  // with the first reading of the figures
      ShowLive();
      ReadModuleList();
      if (!ended_) SetTimer(hwnd(), kLiveTimer, kLivePeriod, nullptr);
      return 0;
    }
    case kWmBuild:  // the one after BuildNow finds nothing left
      if (!laidOut_) Build();
      return 0;
    case kWmShow:
      if (!built_) Show();
      return 0;
    case kWmModulesMore:
      ShowMoreModuleRows();
      return 0;
    case kWmModulesRead: {
      std::wstring rows;
      if (moduleReading_.Take(rows)) ShowModuleRows(std::move(rows));
      return 0;
    }
    case kWmCopyAll:
      if (ShowsSelection()) return 0;  // the field copies its own selection
      CopyAll();
      return 1;
    case WM_COMMAND:
      // Esc comes from the dialog manager as IDCANCEL, as 閉じる does.
      if (LOWORD(wp) == IDCANCEL) {
        DestroyWindow(hwnd());
        return 0;
      }
      break;
    case WM_CLOSE:
      DestroyWindow(hwnd());
      return 0;
    case ui::kWmDpiChanged:  // moved to a screen of another DPI
      BuildNow();
      if (built_) DpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_ACTIVATE:
      // The focus leaves with the window and comes back to where it was.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
      } else {
        SetFocus(lastFocus_ && IsChild(hwnd(), lastFocus_) ? lastFocus_ : close_.hwnd());
      }
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd(), kLiveTimer);
      imageReading_.Stop();
      moduleReading_.Stop();
      break;
  }
  return Window::HandleMessage(msg, wp, lp);
}

void DetailsWindows::Show(HWND owner, const DetailsSubject& subject) {
  // Windows the user has closed go here, not from their own messages.
  std::erase_if(open_, [](const std::unique_ptr<DetailsWindow>& w) { return !IsWindow(w->hwnd()); });
  for (const auto& w : open_)
    if (w->Pid() == subject.pid) {
      if (IsIconic(w->hwnd())) ShowWindow(w->hwnd(), SW_RESTORE);
      SetForegroundWindow(w->hwnd());
      return;
    }
  auto window = std::make_unique<DetailsWindow>(subject);
  if (window->Open(owner)) open_.push_back(std::move(window));
}

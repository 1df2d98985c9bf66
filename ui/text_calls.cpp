#include "ui/text_calls.h"

#include <shellapi.h>

#include "base/shown_text.h"

namespace ui {

namespace {

std::wstring WideOrEmpty(const char* text) { return text ? WideText(text) : std::wstring(); }

}  // namespace

HWND CreateWindow932(DWORD exStyle, const char* cls, const char* text, DWORD style, int x, int y,
                     int w, int h, HWND parent, HMENU menu, void* param) {
  const HINSTANCE module = GetModuleHandleA(nullptr);
  if (!WideSystem())
    return CreateWindowExA(exStyle, cls, text, style, x, y, w, h, parent, menu, module, param);
  const std::wstring wideClass = WideText(cls), wideText = WideOrEmpty(text);
  return CreateWindowExW(exStyle, wideClass.c_str(), text ? wideText.c_str() : nullptr, style, x,
                         y, w, h, parent, menu, module, param);
}

bool RegisterClass932(const WNDCLASSEXA& wc) {
  if (!WideSystem()) return RegisterClassExA(&wc) != 0;
  const std::wstring name = WideText(wc.lpszClassName);
  const WNDCLASSEXW wide{sizeof wide, wc.style, wc.lpfnWndProc, wc.cbClsExtra, wc.cbWndExtra,
                         wc.hInstance, wc.hIcon, wc.hCursor, wc.hbrBackground, nullptr,
                         name.c_str(), wc.hIconSm};
  return RegisterClassExW(&wide) != 0;
}

bool ClassRegistered(const char* cls) {
  if (!WideSystem()) {
    WNDCLASSEXA existing{};
    return GetClassInfoExA(GetModuleHandleA(nullptr), cls, &existing) != FALSE;
  }
  WNDCLASSEXW existing{};
  return GetClassInfoExW(GetModuleHandleA(nullptr), WideText(cls).c_str(), &existing) != FALSE;
}

LRESULT DefProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  return WideSystem() ? DefWindowProcW(w, msg, wp, lp) : DefWindowProcA(w, msg, wp, lp);
}

LRESULT CallProc(WNDPROC proc, HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  return WideSystem() ? CallWindowProcW(proc, w, msg, wp, lp) : CallWindowProcA(proc, w, msg, wp, lp);
}

WNDPROC ProcOf(HWND w) {
  return reinterpret_cast<WNDPROC>(WideSystem() ? GetWindowLongPtrW(w, GWLP_WNDPROC)
                                                : GetWindowLongPtrA(w, GWLP_WNDPROC));
}

WNDPROC ReplaceProc(HWND w, WNDPROC proc) {
  const auto value = reinterpret_cast<LONG_PTR>(proc);
  return reinterpret_cast<WNDPROC>(WideSystem() ? SetWindowLongPtrW(w, GWLP_WNDPROC, value)
                                                : SetWindowLongPtrA(w, GWLP_WNDPROC, value));
}

void SetWindowText932(HWND w, std::string_view text) {
  if (WideSystem())
    SetWindowTextW(w, WideText(text).c_str());
  else
    SetWindowTextA(w, std::string(text).c_str());
}

int DrawText932(HDC dc, std::string_view text, RECT* r, UINT format) {
  if (!WideSystem()) return DrawTextA(dc, text.data(), static_cast<int>(text.size()), r, format);
  const std::wstring wide = WideText(text);
  return DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), r, format);
}

SIZE TextExtent932(HDC dc, std::string_view text) {
  SIZE size{};
  if (WideSystem()) return TextExtentWide(dc, WideText(text));
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

SIZE TextExtentWide(HDC dc, std::wstring_view text) {
  SIZE size{};
  if (!WideSystem()) return TextExtent932(dc, ShownText(text));
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

void TextOutWide(HDC dc, int x, int y, std::wstring_view text) {
  if (WideSystem()) {
    TextOutW(dc, x, y, text.data(), static_cast<int>(text.size()));
    return;
  }
  const std::string shown = ShownText(text);
  TextOutA(dc, x, y, shown.data(), static_cast<int>(shown.size()));
}

bool AppendMenu932(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
  if (!WideSystem() || !text) return AppendMenuA(menu, flags, id, text) != FALSE;
  return AppendMenuW(menu, flags, id, WideText(text).c_str()) != FALSE;
}

int WINAPI MessageBox932(HWND owner, const char* text, const char* caption, UINT type) {
  if (!WideSystem()) return MessageBoxA(owner, text, caption, type);
  return MessageBoxW(owner, WideOrEmpty(text).c_str(), WideOrEmpty(caption).c_str(), type);
}

void OpenExplorer(HWND owner, const std::wstring& args) {
  if (WideSystem()) {
    ShellExecuteW(owner, L"open", L"explorer.exe", args.c_str(), nullptr, SW_SHOWNORMAL);
    return;
  }
  ShellExecuteA(owner, "open", "explorer.exe", ShownText(args).c_str(), nullptr, SW_SHOWNORMAL);
}

void ShowFileProperties(HWND owner, const std::wstring& path) {
  if (WideSystem()) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = owner;
    info.lpVerb = L"properties";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info);
    return;
  }
  const std::string shown = ShownText(path);
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_INVOKEIDLIST;
  info.hwnd = owner;
  info.lpVerb = "properties";
  info.lpFile = shown.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExA(&info);
}

}  // namespace ui

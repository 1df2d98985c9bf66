#include "app/details/details_fields.h"

#include <cstdio>

#include "app/texts.h"

const char* const kDetailLabels[kDfCount] = {
    "イメージ名", "パス", "コマンドライン", "現在のフォルダー", "親プロセス", "開始時刻",
    "ユーザー", "種類", "会社名", "説明", "ファイルバージョン", "優先度",
    "CPU使用率", "CPU時間 (ユーザー)", "CPU時間 (カーネル)", "CPU時間 (合計)",
    "プライベート バイト", "ワーキング セット", "ピーク ワーキング セット", "ページ フォールト",
    "スレッド", "ハンドル", "I/O 読み取り", "I/O 書き込み", "I/O その他",
};

std::wstring Grouped(uint64_t n) {
  std::wstring digits = std::to_wstring(n), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += L',';
    out += digits[i];
  }
  return out;
}

std::wstring KilobytesText(uint64_t bytes) { return Grouped((bytes + 512) / 1024) + L" KB"; }

std::wstring DurationText(uint64_t hundredNs) {
  const uint64_t ms = hundredNs / 10000;
  wchar_t buf[48];
  std::swprintf(buf, 48, L"%llu:%02u:%02u.%03u", static_cast<unsigned long long>(ms / 3600000),
                static_cast<unsigned>(ms / 60000 % 60), static_cast<unsigned>(ms / 1000 % 60),
                static_cast<unsigned>(ms % 1000));
  return buf;
}

std::wstring ShareText(int tenths) {
  if (tenths < 0) return detail_text::kMeasuring;
  return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + L"%";
}

std::wstring IoText(const IoFigures& io) {
  return Grouped(io.count) + L" 回 / " + Grouped(io.bytes) + L" バイト";
}

std::wstring DateTimeText(int year, int month, int day, int hour, int minute, int second) {
  wchar_t buf[48];
  std::swprintf(buf, 48, L"%04d/%02d/%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
  return buf;
}

std::wstring ParentText(const std::wstring& name, uint32_t pid, bool ended) {
  if (pid == 0) return L"なし";  // started from outside the system's processes
  return (ended ? std::wstring(L"終了") : name) + L" (" + std::to_wstring(pid) + L")";
}

std::wstring Visible(std::wstring_view text) {
  std::wstring shown(text);
  for (wchar_t& c : shown) {
    if (c < 0x20) c = static_cast<wchar_t>(0x2400 + c);
    else if (c == 0x7F) c = 0x2421;
    else if (c >= 0x80 && c <= 0x9F) c = 0xFFFD;
  }
  return shown;
}

std::wstring ModuleRow(std::initializer_list<std::wstring_view> columns) {
  std::wstring row;
  for (std::wstring_view column : columns) {
    if (!row.empty()) row += L'\t';
    row += Visible(column);
  }
  return row + L"\r\n";
}

bool OnLocalDrive(std::wstring_view path) {
  return path.size() > 3 && ((path[0] | 0x20) >= L'a' && (path[0] | 0x20) <= L'z') && path[1] == L':' &&
         path[2] == L'\\' && path[3] != L'\\';
}

std::wstring DetailsCopyText(const std::wstring (&values)[kDfCount], const std::wstring& modules,
                             Widen widen) {
  const std::wstring colon = widen(texts::kCopySeparator);
  std::wstring text;
  for (int f = 0; f < kDfCount; ++f) text += widen(kDetailLabels[f]) + colon + values[f] + L"\r\n";
  text += widen(texts::kDetailsModules) + colon + L"\r\n" + modules;
  if (!modules.empty() && modules.back() != L'\n') text += L"\r\n";
  return text;
}

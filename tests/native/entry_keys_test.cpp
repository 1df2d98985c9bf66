// Type to find and the copied text of an entry.
#include <gtest/gtest.h>

#include "app/copy_text.h"
#include "app/type_to_find.h"

namespace {

const std::vector<FindKey> kKeys = {
    {L"System Idle Process", 0}, {L"smss.exe", 124},  {L"svchost.exe", 388}, {L"7zFM.exe", 1024},
    {L"Explorer.EXE", 1296},     {L"svchost.exe", 1500}, {L"helper.exe", 3880}};

TEST(TypeToFind, LettersFindImageNamesFromTheNextEntryRoundTheEnd) {
  EXPECT_EQ(FindEntry(kKeys, L"s", -1), 0);
  EXPECT_EQ(FindEntry(kKeys, L"s", 0), 1);   // steps on, never stays
  EXPECT_EQ(FindEntry(kKeys, L"S", 5), 0);   // wraps; case is ignored
  EXPECT_EQ(FindEntry(kKeys, L"e", 6), 4);
  EXPECT_EQ(FindEntry(kKeys, L"h", 6), 6);   // the only match, already selected
  EXPECT_EQ(FindEntry(kKeys, L"q", 3), -1);  // nothing: the caller keeps the selection
  EXPECT_EQ(FindEntry({}, L"s", -1), -1);
}

TEST(TypeToFind, LongerTextsStayWhileTheyMatchAndRepeatsStep) {
  EXPECT_EQ(FindEntry(kKeys, L"sv", 1), 2);
  EXPECT_EQ(FindEntry(kKeys, L"svc", 2), 2);       // still matches: stays
  EXPECT_EQ(FindEntry(kKeys, L"svchost.", 5), 5);
  EXPECT_EQ(FindEntry(kKeys, L"sm", 2), 1);
  EXPECT_EQ(FindEntry(kKeys, L"ss", 1), 2);        // "s" again: the next "s" entry
  EXPECT_EQ(FindEntry(kKeys, L"sss", 2), 5);
  EXPECT_EQ(FindEntry(kKeys, L"smssx", 1), -1);
}

TEST(TypeToFind, DigitsFindProcessIdsNotNames) {
  EXPECT_EQ(FindEntry(kKeys, L"7", -1), -1);  // "7zFM.exe" is a name, not an ID
  EXPECT_EQ(FindEntry(kKeys, L"12", -1), 1);
  EXPECT_EQ(FindEntry(kKeys, L"129", 1), 4);
  EXPECT_EQ(FindEntry(kKeys, L"1", 1), 3);
  EXPECT_EQ(FindEntry(kKeys, L"0", 4), 0);
  EXPECT_EQ(FindEntry(kKeys, L"3880", 0), 6);
}

TEST(TypeToFind, APauseStartsANewText) {
  using T = TypeToFind::Typed;
  TypeToFind t;
  EXPECT_EQ(t.Type(L'.', 100), T::Ignored);  // punctuation cannot start a search
  EXPECT_EQ(t.Type(L's', 1000), T::Search);
  EXPECT_EQ(t.Type(L'V', 1900), T::Search);
  EXPECT_EQ(t.Type(L'.', 2800), T::Search);  // within the pause of the last key, not the first
  EXPECT_EQ(t.Text(), L"sV.");
  EXPECT_EQ(t.Type(L' ', 2900), T::Ignored);
  EXPECT_EQ(t.Type(L'h', 3801), T::Search);
  EXPECT_EQ(t.Text(), L"h");
  EXPECT_EQ(t.Type(L'-', 4900), T::Ignored);
  EXPECT_EQ(t.Text(), L"h");
  TypeToFind wrap;
  EXPECT_EQ(wrap.Type(L'a', 0xFFFFFE00u), T::Search);
  EXPECT_EQ(wrap.Type(L'b', 0x00000100u), T::Search);  // the tick wrapped 0x300 ms later
  EXPECT_EQ(wrap.Text(), L"ab");
  EXPECT_EQ(wrap.Type(L'c', 0xFFFFF000u), T::Search);  // long before the last key, not after it
  EXPECT_EQ(wrap.Type(L'd', 0x00000100u), T::Search);  // 0x1100 ms after 'c', across the wrap
  EXPECT_EQ(wrap.Text(), L"d");
}

// The few code page 932 characters these tests type, as the system widens them.
std::wstring Widen932(std::string_view bytes) {
  static const std::pair<std::string_view, const wchar_t*> kKnown[] = {
      {"\x83\x41", L"\u30A2"}, {"\x83\x61", L"\u30E3"}, {"\x95\x5C", L"\u8868"}, {"\xB1", L"\uFF71"}};
  for (const auto& [cp932, wide] : kKnown)
    if (bytes == cp932) return wide;
  return bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) < 0x80 ? std::wstring(1, bytes[0]) : L"";
}

// Code page 932 as an IME or the keyboard delivers it on the 9x family: a
// double-byte character comes as its lead byte, then its trail byte, which
// may look like an ASCII letter ("ア" is 0x83 0x41, "ャ" 0x83 0x61) or a
// backslash ("表" 0x95 0x5C).
TEST(TypeToFind, CodePage932BytesTypeWholeCharacters) {
  using T = TypeToFind::Typed;
  TypeToFind t;
  EXPECT_EQ(t.TypeByte('\x83', 100, Widen932), T::Held);
  EXPECT_EQ(t.Text(), L"");
  EXPECT_EQ(t.TypeByte('\x41', 100, Widen932), T::Search);
  EXPECT_EQ(t.TypeByte('\x95', 200, Widen932), T::Held);
  EXPECT_EQ(t.TypeByte('\x5C', 200, Widen932), T::Search);
  EXPECT_EQ(t.Text(), L"\u30A2\u8868");
  EXPECT_EQ(t.TypeByte('\xB1', 3000, Widen932), T::Search);  // half-width katakana starts a search
  EXPECT_EQ(t.Text(), L"\uFF71");
  EXPECT_EQ(t.TypeByte('\x83', 5000, Widen932), T::Held);
  EXPECT_EQ(t.TypeByte('\x0D', 5000, Widen932), T::Ignored);  // no trail byte: the lead byte is dropped
  EXPECT_EQ(t.TypeByte('A', 5100, Widen932), T::Search);
  EXPECT_EQ(t.Text(), L"A");
}

// Names as the list shows them, true to every script: a character that code
// page 932 cannot hold ("?" in the record) finds only itself, never another
// such character ("a글" does not select a한.exe); a trail byte that looks
// like a letter finds nothing of that letter.
TEST(TypeToFind, TrueNamesMatchWholeCharacters) {
  const std::vector<FindKey> keys = {
      {L"\u30E3\u30A2.exe", 10},  // ャア.exe
      {L"\u30A2\u30E3.exe", 20},  // アャ.exe
      {L"\u8868\u793A.exe", 30},  // 表示.exe
      {L"a\uD55C.exe", 40},       // a한.exe
      {L"a\uAE00.exe", 50},       // a글.exe
      {L"\u30A2.exe", 60},        // ア.exe
      {L"\xD83D\xDE00.exe", 70},  // an emoji, a surrogate pair
      {L"\xD83D\xDE01.exe", 80}};
  EXPECT_EQ(FindEntry(keys, L"\u30A2", -1), 1);  // not "ャ"
  EXPECT_EQ(FindEntry(keys, L"\u30E3", 1), 0);
  EXPECT_EQ(FindEntry(keys, L"\u8868\u793A", 2), 2);
  EXPECT_EQ(FindEntry(keys, L"\u8868\u30A1", 2), -1);  // 表ァ: nothing, the caller stays
  EXPECT_EQ(FindEntry(keys, L"a\uAE00", 3), 4);
  EXPECT_EQ(FindEntry(keys, L"A\uAE00", -1), 4);
  EXPECT_EQ(FindEntry(keys, L"a?", -1), -1);
  EXPECT_EQ(FindEntry(keys, L"\u30A2\u30A2", 1), 5);  // "ア" again steps on
  EXPECT_EQ(FindEntry(keys, L"\u30A2\u30A2\u30A2", 5), 1);
  EXPECT_EQ(FindEntry(keys, L"\xD83D\xDE01", -1), 7);
  EXPECT_EQ(FindEntry(keys, L"\xD83D\xDE00\xD83D\xDE00", 6), 6);  // the only one: stays

  using T = TypeToFind::Typed;
  TypeToFind t;
  EXPECT_EQ(t.Type(L'a', 100), T::Search);
  EXPECT_EQ(t.Type(L'\uAE00', 200), T::Search);
  EXPECT_EQ(t.Text(), L"a\uAE00");
  EXPECT_EQ(t.Type(0xD83D, 300), T::Held);  // a pair comes in two messages
  EXPECT_EQ(t.Type(0xDE00, 300), T::Search);
  EXPECT_EQ(t.Text(), L"a\uAE00\xD83D\xDE00");
  EXPECT_EQ(t.Type(0xDE00, 400), T::Ignored);  // a low half alone
  EXPECT_EQ(t.Type(0xD83D, 3000), T::Held);
  EXPECT_EQ(t.Type(L'b', 3000), T::Search);  // the high half alone is dropped
  EXPECT_EQ(t.Text(), L"b");
}

TEST(CopyText, PanelLabelsThenWindowTitlesInCodePage932) {
  TQorSvc s;
  s.idProcess = 3880;
  s.DisplayName = "helper.exe";
  s.Company = "Kestrane";
  s.Description = "";
  s.FileName = "Z:\\work\\helper.exe";
  s.WindowText = "not copied";
  // "表示" has the trail byte 0x5C in code page 932.
  EXPECT_EQ(EntryCopyText(s, {"\x95\x5C\x8E\xA6 1", "Two"}),
            "\x83\x76\x83\x8D\x83\x5A\x83\x58\x49\x44\x81\x46" "3880\r\n"   // プロセスID：
            "\x83\x43\x83\x81\x81\x5B\x83\x57\x96\xBC\x81\x46" "helper.exe\r\n"  // イメージ名：
            "\x89\xEF\x8E\xD0\x96\xBC\x81\x46" "Kestrane\r\n"                // 会社名：
            "\x90\xE0\x81\x40\x96\xBE\x81\x46\r\n"                           // 説　明：
            "\x8E\xC0\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x46" "Z:\\work\\helper.exe\r\n"  // 実ファイル：
            "\x95\x5C\x8E\xA6 1\r\nTwo\r\n");
  EXPECT_EQ(EntryCopyText(TQorSvc{}, {}).find("\r\n\r\n"), std::string::npos);
}

}  // namespace

// Type to find and the copied text of an entry.
#include <gtest/gtest.h>

#include "app/copy_text.h"
#include "app/type_to_find.h"

namespace {

const std::vector<FindKey> kKeys = {
    {L"System Idle Process", 0}, {L"smss.exe", 124},  {L"svchost.exe", 388}, {L"7zFM.exe", 1024},
    {L"Explorer.EXE", 1296},     {L"svchost.exe", 1500}, {L"helper.exe", 3880}};

// An ASCII text typed.
using ::FindEntry;
int FindEntry(const std::vector<FindKey>& keys, std::string_view ascii, int current) {
  return ::FindEntry(keys, std::wstring(ascii.begin(), ascii.end()), current);
}

TEST(TypeToFind, LettersFindImageNamesFromTheNextEntryRoundTheEnd) {
  EXPECT_EQ(FindEntry(kKeys, "s", -1), 0);
  EXPECT_EQ(FindEntry(kKeys, "s", 0), 1);   // steps on, never stays
  EXPECT_EQ(FindEntry(kKeys, "S", 5), 0);   // wraps; case is ignored
  EXPECT_EQ(FindEntry(kKeys, "e", 6), 4);
  EXPECT_EQ(FindEntry(kKeys, "h", 6), 6);   // the only match, already selected
  EXPECT_EQ(FindEntry(kKeys, "q", 3), -1);  // nothing: the caller keeps the selection
  EXPECT_EQ(FindEntry({}, "s", -1), -1);
}

TEST(TypeToFind, LongerTextsStayWhileTheyMatchAndRepeatsStep) {
  EXPECT_EQ(FindEntry(kKeys, "sv", 1), 2);
  EXPECT_EQ(FindEntry(kKeys, "svc", 2), 2);       // still matches: stays
  EXPECT_EQ(FindEntry(kKeys, "svchost.", 5), 5);
  EXPECT_EQ(FindEntry(kKeys, "sm", 2), 1);
  EXPECT_EQ(FindEntry(kKeys, "ss", 1), 2);        // "s" again: the next "s" entry
  EXPECT_EQ(FindEntry(kKeys, "sss", 2), 5);
  EXPECT_EQ(FindEntry(kKeys, "smssx", 1), -1);
}

TEST(TypeToFind, DigitsFindProcessIdsNotNames) {
  EXPECT_EQ(FindEntry(kKeys, "7", -1), -1);  // "7zFM.exe" is a name, not an ID
  EXPECT_EQ(FindEntry(kKeys, "12", -1), 1);
  EXPECT_EQ(FindEntry(kKeys, "129", 1), 4);
  EXPECT_EQ(FindEntry(kKeys, "1", 1), 3);
  EXPECT_EQ(FindEntry(kKeys, "0", 4), 0);
  EXPECT_EQ(FindEntry(kKeys, "3880", 0), 6);
}

TEST(TypeToFind, APauseStartsANewText) {
  using T = TypeToFind::Typed;
  TypeToFind t;
  EXPECT_EQ(t.Type('.', 100), T::Ignored);  // punctuation cannot start a search
  EXPECT_EQ(t.Type('s', 1000), T::Search);
  EXPECT_EQ(t.Type('V', 1900), T::Search);
  EXPECT_EQ(t.Type('.', 2800), T::Search);  // within the pause of the last key, not the first
  EXPECT_EQ(t.Text(), L"sV.");
  EXPECT_EQ(t.Type(' ', 2900), T::Ignored);
  EXPECT_EQ(t.Type('h', 3801), T::Search);
  EXPECT_EQ(t.Text(), L"h");
  EXPECT_EQ(t.Type('-', 4900), T::Ignored);
  EXPECT_EQ(t.Text(), L"h");
  TypeToFind wrap;
  EXPECT_EQ(wrap.Type('a', 0xFFFFFE00u), T::Search);
  EXPECT_EQ(wrap.Type('b', 0x00000100u), T::Search);  // the tick wrapped 0x300 ms later
  EXPECT_EQ(wrap.Text(), L"ab");
  EXPECT_EQ(wrap.Type('c', 0xFFFFF000u), T::Search);  // long before the last key, not after it
  EXPECT_EQ(wrap.Type('d', 0x00000100u), T::Search);  // 0x1100 ms after 'c', across the wrap
  EXPECT_EQ(wrap.Text(), L"d");
}

// The code page 932 characters these tests type, as the system widens them.
std::wstring Widen932(std::string_view b) {
  if (b.size() == 1) return std::wstring(1, b[0] == '\xB1' ? L'\uFF71' : static_cast<wchar_t>(b[0]));
  return b == "\x83\x41" ? L"\u30A2" : b == "\x95\x5C" ? L"\u8868" : L"";
}

// Code page 932 as the 9x family delivers it: a double-byte character comes
// as its lead byte, then its trail byte, which may look like an ASCII letter
// ("ア" is 0x83 0x41) or a backslash ("表" 0x95 0x5C).
TEST(TypeToFind, CodePage932BytesTypeWholeCharacters) {
  using T = TypeToFind::Typed;
  TypeToFind t;
  EXPECT_EQ(t.TypeByte('\x83', 100, Widen932), T::Held);
  EXPECT_EQ(t.TypeByte('\x41', 100, Widen932), T::Search);
  EXPECT_EQ(t.TypeByte('\x95', 200, Widen932), T::Held);
  EXPECT_EQ(t.TypeByte('\x5C', 200, Widen932), T::Search);
  EXPECT_EQ(t.Text(), L"\u30A2\u8868");
  EXPECT_EQ(t.TypeByte('\xB1', 3000, Widen932), T::Search);  // half-width katakana starts a search
  EXPECT_EQ(t.TypeByte('\x83', 5000, Widen932), T::Held);
  EXPECT_EQ(t.TypeByte('\x0D', 5000, Widen932), T::Ignored);  // no trail byte: the lead byte is dropped
  EXPECT_EQ(t.TypeByte('A', 5100, Widen932), T::Search);
  EXPECT_EQ(t.Text(), L"A");  // a new text: 2.1 s after ｱ
}

// Names as the list shows them: a character that code page 932 cannot hold
// ("?" in the record) finds only itself ("a글" never selects a한.exe); a
// surrogate pair is one character, typed in two messages.
TEST(TypeToFind, TrueNamesMatchWholeCharacters) {
  const std::vector<FindKey> keys = {{L"a\uD55C.exe", 40}, {L"a\uAE00.exe", 50}, {L"\xD83D\xDE00.exe", 70}};
  EXPECT_EQ(FindEntry(keys, L"A\uAE00", 0), 1);
  EXPECT_EQ(FindEntry(keys, L"a?", -1), -1);
  using T = TypeToFind::Typed;
  TypeToFind t;
  EXPECT_EQ(t.Type(L'a', 100), T::Search);
  EXPECT_EQ(t.Type(0xD83D, 300), T::Held);
  EXPECT_EQ(t.Type(0xDE00, 300), T::Search);
  EXPECT_EQ(t.Type(0xDE00, 400), T::Ignored);  // a low half alone
  EXPECT_EQ(t.Type(0xD83D, 500), T::Held);
  EXPECT_EQ(t.Type(L'b', 500), T::Search);  // the high half alone is dropped
  EXPECT_EQ(t.Text(), L"a\xD83D\xDE00" L"b");
}

TEST(CopyText, PanelLabelsThenWindowTitles) {
  TQorSvc s;
  s.idProcess = 3880;
  s.DisplayName = L"helper.exe";
  s.Company = L"Kestrane";
  s.Description = L"";
  s.FileName = L"Z:\\work\\helper.exe";
  s.WindowText = L"not copied";
  // The labels' code page 932 bytes, one unit each.
  auto bytes = [](std::string_view t) { return std::wstring(t.begin(), t.end()); };
  const std::wstring text = EntryCopyText(s, {L"\u8868\u793A 1", L"Two\U0001F600"}, bytes);
  EXPECT_EQ(text, bytes("\x83\x76\x83\x8D\x83\x5A\x83\x58\x49\x44\x81\x46") + L"3880\r\n" +   // プロセスID：
                      bytes("\x83\x43\x83\x81\x81\x5B\x83\x57\x96\xBC\x81\x46") + L"helper.exe\r\n" +  // イメージ名：
                      bytes("\x89\xEF\x8E\xD0\x96\xBC\x81\x46") + L"Kestrane\r\n" +                // 会社名：
                      bytes("\x90\xE0\x81\x40\x96\xBE\x81\x46") + L"\r\n" +                         // 説　明：
                      bytes("\x8E\xC0\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x46") + L"Z:\\work\\helper.exe\r\n" +  // 実ファイル：
                      L"\u8868\u793A 1\r\nTwo\U0001F600\r\n");
  EXPECT_EQ(EntryCopyText(TQorSvc{}, {}, bytes).find(L"\r\n\r\n"), std::wstring::npos);
}

}  // namespace

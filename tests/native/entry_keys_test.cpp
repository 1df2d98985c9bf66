// Type to find and the copied text of an entry.
#include <gtest/gtest.h>

#include "app/copy_text.h"
#include "app/type_to_find.h"

namespace {

const std::vector<FindKey> kKeys = {
    {"System Idle Process", 0}, {"smss.exe", 124},  {"svchost.exe", 388}, {"7zFM.exe", 1024},
    {"Explorer.EXE", 1296},     {"svchost.exe", 1500}, {"helper.exe", 3880}};

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
  EXPECT_EQ(t.Text(), "sV.");
  EXPECT_EQ(t.Type(' ', 2900), T::Ignored);
  EXPECT_EQ(t.Type('h', 3801), T::Search);
  EXPECT_EQ(t.Text(), "h");
  EXPECT_EQ(t.Type('-', 4900), T::Ignored);
  EXPECT_EQ(t.Text(), "h");
  TypeToFind wrap;
  EXPECT_EQ(wrap.Type('a', 0xFFFFFE00u), T::Search);
  EXPECT_EQ(wrap.Type('b', 0x00000100u), T::Search);  // the tick wrapped 0x300 ms later
  EXPECT_EQ(wrap.Text(), "ab");
  EXPECT_EQ(wrap.Type('c', 0xFFFFF000u), T::Search);  // long before the last key, not after it
  EXPECT_EQ(wrap.Type('d', 0x00000100u), T::Search);  // 0x1100 ms after 'c', across the wrap
  EXPECT_EQ(wrap.Text(), "d");
}

// Code page 932 as an IME or the keyboard delivers it: a double-byte
// character comes as its lead byte, then its trail byte, which may look like
// an ASCII letter ("ア" is 0x83 0x41, "ャ" 0x83 0x61) or a backslash.
TEST(TypeToFind, JapaneseTextMatchesWholeCharactersByteForByte) {
  using T = TypeToFind::Typed;
  TypeToFind t;
  EXPECT_EQ(t.Type('\x83', 100), T::Held);
  EXPECT_EQ(t.Text(), "");
  EXPECT_EQ(t.Type('\x41', 100), T::Search);
  EXPECT_EQ(t.Type('\x95', 200), T::Held);
  EXPECT_EQ(t.Type('\x5C', 200), T::Search);
  EXPECT_EQ(t.Text(), "\x83\x41\x95\x5C");
  EXPECT_EQ(t.Type('\xB1', 3000), T::Search);  // half-width katakana starts a search
  EXPECT_EQ(t.Text(), "\xB1");
  EXPECT_EQ(t.Type('\x83', 5000), T::Held);
  EXPECT_EQ(t.Type('\x0D', 5000), T::Ignored);  // no trail byte: the lead byte is dropped
  EXPECT_EQ(t.Type('A', 5100), T::Search);
  EXPECT_EQ(t.Text(), "A");

  const std::vector<FindKey> keys = {
      {"\x83\x61\x83\x41.exe", 10},  // ャア.exe
      {"\x83\x41\x83\x61.exe", 20},  // アャ.exe
      {"\x95\x5C\x8E\xA6.exe", 30},  // 表示.exe
      {"\xB1\xB2.exe", 40},           // ｱｲ.exe
      {"a.exe", 50},
      {"\x83\x41.exe", 60}};          // ア.exe
  EXPECT_EQ(FindEntry(keys, "\x83\x41", -1), 1);  // not "ャ", whose trail byte is "a"
  EXPECT_EQ(FindEntry(keys, "\x83\x61", 1), 0);
  EXPECT_EQ(FindEntry(keys, "\x95\x5C", 4), 2);
  EXPECT_EQ(FindEntry(keys, "\x95\x5C\x8E\xA6", 2), 2);
  EXPECT_EQ(FindEntry(keys, "\x95\x5C\x8E\xA7", 2), -1);  // 表ァ: nothing, the caller stays
  EXPECT_EQ(FindEntry(keys, "\xB1", 0), 3);
  EXPECT_EQ(FindEntry(keys, "\x83\x41\x83\x41", 1), 5);  // "ア" again steps on
  EXPECT_EQ(FindEntry(keys, "\x83\x41\x83\x41\x83\x41", 5), 1);
  EXPECT_EQ(FindEntry(keys, "\x83\x41\x83\x61", 5), 1);
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

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
  TypeToFind t;
  EXPECT_FALSE(t.Type('.', 100));  // punctuation cannot start a search
  EXPECT_TRUE(t.Type('s', 1000));
  EXPECT_TRUE(t.Type('V', 1900));
  EXPECT_TRUE(t.Type('.', 2800));  // within the pause of the last key, not the first
  EXPECT_EQ(t.Text(), "sV.");
  EXPECT_FALSE(t.Type(' ', 2900));
  EXPECT_FALSE(t.Type('\x83', 2900));  // a CP932 lead byte
  EXPECT_TRUE(t.Type('h', 3801));
  EXPECT_EQ(t.Text(), "h");
  EXPECT_FALSE(t.Type('-', 4900));
  EXPECT_EQ(t.Text(), "h");
  TypeToFind wrap;
  EXPECT_TRUE(wrap.Type('a', 0xFFFFFE00u));
  EXPECT_TRUE(wrap.Type('b', 0x00000100u));  // the tick wrapped 0x300 ms later
  EXPECT_EQ(wrap.Text(), "ab");
  EXPECT_TRUE(wrap.Type('c', 0xFFFFF000u));  // long before the last key, not after it
  EXPECT_TRUE(wrap.Type('d', 0x00000100u));  // 0x1100 ms after 'c', across the wrap
  EXPECT_EQ(wrap.Text(), "d");
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

#include "procinfo/entry_line.h"

#include <gtest/gtest.h>

TEST(EntryLine, FormatsIdentifierAndSixTabs) {
  TQorSvc s;
  s.idProcess = 0x1A2B;
  EXPECT_EQ(EntryLine(s), "    1A2B\t\t\t\t\t\t");
  s.idProcess = 1234;
  s.DisplayName = "explorer.exe";
  s.FileName = "C:\\WINDOWS\\explorer.exe";
  EXPECT_EQ(EntryLine(s), "     4D2\texplorer.exe\tC:\\WINDOWS\\explorer.exe\t\t\t\t");
  EXPECT_EQ(HexId(0xFFF0A1B2), "FFF0A1B2");
}

TEST(EntryLine, RoundTripsEveryField) {
  TQorSvc s{0xFFF0A1B2, "a.exe", "C:\\a.exe", "Co", "Desc", "Title"};
  TQorSvc r;
  LineToSvc(EntryLine(s), r);
  EXPECT_EQ(r.idProcess, 0xFFF0A1B2u);
  EXPECT_EQ(r.DisplayName, "a.exe");
  EXPECT_EQ(r.FileName, "C:\\a.exe");
  EXPECT_EQ(r.Company, "Co");
  EXPECT_EQ(r.Description, "Desc");
  EXPECT_EQ(r.WindowText, "Title");
}

TEST(EntryLine, EmptyFieldsParseEmpty) {
  TQorSvc r;
  r.Company = "stale";
  LineToSvc("    1A2B\t\t\t\t\t\t", r);
  EXPECT_EQ(r.idProcess, 6699u);
  EXPECT_EQ(r.DisplayName + r.FileName + r.Company + r.Description + r.WindowText, "");
}

TEST(EntryLine, BreakInTitleShiftsPiecesAndRecordTakesFirstSix) {
  TQorSvc s{5, "n", "f", "c", "d", "line1\r\nline2\tx"};
  TQorSvc r;
  LineToSvc(EntryLine(s), r);
  EXPECT_EQ(r.WindowText, "line1");
}

TEST(EntryLine, SeparatorsInFileFieldsCannotForgeOtherFields) {
  TQorSvc s{7, "a\tb.exe", "C:\\x\r\ny.exe", "Evil\tCorp\r\nLine2", "D\re\ns\tc", "Real Title"};
  TQorSvc r;
  LineToSvc(EntryLine(s), r);
  EXPECT_EQ(r.idProcess, 7u);
  EXPECT_EQ(r.DisplayName, "a b.exe");
  EXPECT_EQ(r.FileName, "C:\\x  y.exe");
  EXPECT_EQ(r.Company, "Evil Corp  Line2");
  EXPECT_EQ(r.Description, "D e s c");
  EXPECT_EQ(r.WindowText, "Real Title");
}

TEST(HexToDWord, ReadsBlanksAsZeroAndBothCases) {
  EXPECT_EQ(HexToDWord("FFF0A1B2"), 0xFFF0A1B2u);
  EXPECT_EQ(HexToDWord("fff0a1b2"), 0xFFF0A1B2u);
  EXPECT_EQ(HexToDWord("     4D2"), 1234u);
  EXPECT_EQ(HexToDWord("       0"), 0u);
}

TEST(HexToDWord, MalformedTextGivesANumberNotAFault) {
  EXPECT_EQ(HexToDWord(""), 0u);
  EXPECT_EQ(HexToDWord("12"), 0x120000u);
  EXPECT_EQ(HexToDWord("zz001234"), 0x1234u);  // a bad half reads as 0
}

TEST(SplitLines, BreaksOfEveryKind) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(SplitLines("a\r\nb"), (V{"a", "b"}));
  EXPECT_EQ(SplitLines("a\rb"), (V{"a", "b"}));
  EXPECT_EQ(SplitLines("a\nb"), (V{"a", "b"}));
  EXPECT_EQ(SplitLines("a\r\n"), (V{"a"}));
  EXPECT_EQ(SplitLines("a\n\nb"), (V{"a", "", "b"}));
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ(SplitLines(std::string_view("a\nb\0c\nd", 7)), (V{"a", "b"}));
}

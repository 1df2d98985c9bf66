#include "model/entry.h"

#include <gtest/gtest.h>

#include "base/text.h"

// Nothing a file or a window holds starts another field or line of an entry:
// separators in the file's texts become blanks, and a title ends at its first.
TEST(Entry, ListedFieldsHoldNoSeparators) {
  TQorSvc s{7, 9, L"a\tb.exe", L"C:\\x\r\ny.exe", L"Evil\tCorp\r\nLine2", L"D\re\ns\tc", L"Real Title\r\nForged"};
  AsListed(s);
  EXPECT_EQ(s.idProcess, 7u);
  EXPECT_EQ(s.created, 9u);
  EXPECT_EQ(s.DisplayName, L"a b.exe");
  EXPECT_EQ(s.FileName, L"C:\\x  y.exe");
  EXPECT_EQ(s.Company, L"Evil Corp  Line2");
  EXPECT_EQ(s.Description, L"D e s c");
  EXPECT_EQ(s.WindowText, L"Real Title");
  for (const wchar_t* title : {L"a\tb", L"a\rb", L"a\nb", L"a\0b"}) {
    s.WindowText.assign(title, 3);
    AsListed(s);
    EXPECT_EQ(s.WindowText, L"a");
  }
  // The mark of a window that does not answer follows the listed title.
  s.WindowText = L"Busy\tx";
  AsListed(s);
  MarkNotResponding(s);
  EXPECT_EQ(s.WindowText, L"Busy (\u5FDC\u7B54\u306A\u3057)");
}

TEST(HexId, UpperCaseRightAlignedInEightColumns) {
  EXPECT_EQ(HexId(0x1A2B), "    1A2B");
  EXPECT_EQ(HexId(0xFFF0A1B2), "FFF0A1B2");
  EXPECT_EQ(HexId(0), "       0");
}

TEST(SplitLines, BreaksOfEveryKind) {
  using V = std::vector<std::wstring_view>;
  EXPECT_EQ(SplitLines(L"a\r\nb"), (V{L"a", L"b"}));
  EXPECT_EQ(SplitLines(L"a\rb"), (V{L"a", L"b"}));
  EXPECT_EQ(SplitLines(L"a\nb"), (V{L"a", L"b"}));
  EXPECT_EQ(SplitLines(L"a\r\n"), (V{L"a"}));
  EXPECT_EQ(SplitLines(L"a\n\nb"), (V{L"a", L"", L"b"}));
  EXPECT_TRUE(SplitLines(L"").empty());
  EXPECT_EQ(SplitLines(std::wstring_view(L"a\nb\0c\nd", 7)), (V{L"a", L"b"}));
}

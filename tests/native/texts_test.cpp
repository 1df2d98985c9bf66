// The entry text, version-resource helpers and the dialog's centring.
#include <gtest/gtest.h>

#include "app/entry_text.h"
#include "procinfo/priority_class.h"
#include "app/dialog_align.h"
#include "productinfo/version_text.h"

TEST(EntryText, ThreeLinesInCodePage932) {
  TQorSvc s{1234, "explorer.exe", "C:\\WINDOWS\\explorer.exe", "Co", "Desc", "Title"};
  // "\r\n　　会社：" and "\r\n　　説明：" in code page 932.
  const std::string company = "\r\n\x81\x40\x81\x40\x89\xEF\x8E\xD0\x81\x46";
  const std::string description = "\r\n\x81\x40\x81\x40\x90\xE0\x96\xBE\x81\x46";
  EXPECT_EQ(EntryText(s, ListTab::Processes), "[ 1234 : explorer.exe ] C:\\WINDOWS\\explorer.exe" + company + "Co" +
                                 description + "Desc");
  EXPECT_EQ(EntryText(s, ListTab::Applications), "[ 1234 : explorer.exe ] Title" + company + "Co" + description + "Desc");
  s.idProcess = 0xFFF0A1B2;
  EXPECT_EQ(EntryText(s, ListTab::Processes).substr(0, 13), "[ 4293960114 ");
}

TEST(EntryText, LongFieldsCutOnACharacterWithAnEllipsisWholeEntryBelow512Bytes) {
  const std::string ellipsis = "\x81\x63";  // "…"
  // "表" (0x95 0x5C) repeated: every other byte is a lead byte, trail 0x5C.
  std::string kanji;
  for (int i = 0; i < 100; ++i) kanji += "\x95\x5C";
  TQorSvc s{4294967295u, std::string(300, 'N'), "x" + kanji, std::string(10000, 'W'), kanji, kanji};
  const std::string text = EntryText(s, ListTab::Processes);
  EXPECT_LT(text.size(), 400u);
  const std::string company = "\r\n\x81\x40\x81\x40\x89\xEF\x8E\xD0\x81\x46";
  const std::string description = "\r\n\x81\x40\x81\x40\x90\xE0\x96\xBE\x81\x46";
  EXPECT_EQ(text, "[ 4294967295 : " + std::string(46, 'N') + ellipsis + " ] " + "x" +
                      kanji.substr(0, 124) + ellipsis + company + std::string(78, 'W') + ellipsis +
                      description + kanji.substr(0, 78) + ellipsis);
  // The window title on the application tab: an odd room left never halves "表".
  s.WindowText = "ab" + kanji;
  EXPECT_EQ(EntryText(s, ListTab::Applications).substr(text.find(" ] ") + 3, 128),
            "ab" + kanji.substr(0, 124) + ellipsis);
  // A window that does not answer: its mark " (応答なし)" stays whole after
  // the title, which alone is cut (and never halves "表").
  const std::string mark = "\x20\x28\x89\x9E\x93\x9A\x82\xC8\x82\xB5\x29";
  s.WindowText = "ab" + kanji + mark;
  EXPECT_EQ(EntryText(s, ListTab::Applications).substr(text.find(" ] ") + 3, 128),
            "ab" + kanji.substr(0, 112) + ellipsis + mark + "\r");
  s.True.WindowText = std::wstring(200, L'\u4E16') + L" (\u5FDC\u7B54\u306A\u3057)";
  const std::wstring wide = EntryTextWide(s, ListTab::Applications, [](std::string_view t) { return std::wstring(t.begin(), t.end()); });
  // 57 of 世 (2 each) and "…" (2) in the 117 the mark leaves of 128.
  EXPECT_EQ(wide.substr(wide.find(L" ] ") + 3, 66), std::wstring(57, L'\u4E16') + L"\u2026 (\u5FDC\u7B54\u306A\u3057)\r");
  // Fields that fit are kept whole.
  TQorSvc fits{1, std::string(48, 'n'), std::string(128, 'p'), std::string(80, 'c'), std::string(80, 'd')};
  EXPECT_EQ(EntryText(fits, ListTab::Processes), "[ 1 : " + fits.DisplayName + " ] " + fits.FileName + company +
                                    fits.Company + description + fits.Description);
}

TEST(VersionText, TablePathShortVersionCommand) {
  EXPECT_EQ(StringTablePath(0x03A40411), "\\StringFileInfo\\041103A4\\");
  EXPECT_EQ(ShortVersionOf("1.23.0.4"), "1.23");
  EXPECT_EQ(ShortVersionOf("1.2"), "");
  EXPECT_EQ(ShortVersionOf("10.0.2"), "10.0");
  EXPECT_EQ(OpenUrlCommand("http://www.example.com/"), "\"http://www.example.com/\",,-1,,,,,");
}

TEST(PriorityTable, BothDirections) {
  EXPECT_EQ(PriorityIndexOf(0x4000), 4);
  EXPECT_EQ(PriorityIndexOf(0xFFFF), 3);
  EXPECT_EQ(PriorityIndexOf(0), 3);
  EXPECT_EQ(PriorityClassAt(1), 0x80u);
  EXPECT_EQ(PriorityClassAt(-1), 0x20u);
  EXPECT_EQ(PriorityClassAt(6), 0x20u);
}

TEST(DialogAlign, ShorterCentredOnTaller) {
  EXPECT_EQ(AlignIconAndText(8, 32, 8, 12).labelTop, 18);  // down by 10
  EXPECT_EQ(AlignIconAndText(8, 32, 8, 13).labelTop, 17);  // down by 9
  AlignedTops tall = AlignIconAndText(8, 32, 8, 60);
  EXPECT_EQ(tall.imageTop, 22);
  EXPECT_EQ(tall.labelTop, 8);
  AlignedTops same = AlignIconAndText(8, 32, 8, 32);
  EXPECT_EQ(same.imageTop, 8);
  EXPECT_EQ(same.labelTop, 8);
}

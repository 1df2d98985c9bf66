// The entry text, version-resource helpers and the dialog's centring.
#include <gtest/gtest.h>

#include "app/entry_text.h"
#include "procinfo/priority_class.h"
#include "app/dialog_align.h"
#include "productinfo/version_text.h"

namespace {

// The fixed texts' code page 932 bytes, one unit each: enough to compare.
std::wstring Bytes(std::string_view t) { return std::wstring(t.begin(), t.end()); }

// "\r\n　　会社：" and "\r\n　　説明：" as the entry's fixed texts.
const std::wstring kCompany = Bytes("\r\n\x81\x40\x81\x40\x89\xEF\x8E\xD0\x81\x46");
const std::wstring kDescription = Bytes("\r\n\x81\x40\x81\x40\x90\xE0\x96\xBE\x81\x46");

}  // namespace

TEST(EntryText, ThreeLines) {
  TQorSvc s{1234, 0, L"explorer.exe", L"C:\\WINDOWS\\explorer.exe", L"Co", L"Desc", L"Title"};
  EXPECT_EQ(EntryText(s, ListTab::Processes, Bytes),
            L"[ 1234 : explorer.exe ] C:\\WINDOWS\\explorer.exe" + kCompany + L"Co" + kDescription + L"Desc");
  EXPECT_EQ(EntryText(s, ListTab::Applications, Bytes),
            L"[ 1234 : explorer.exe ] Title" + kCompany + L"Co" + kDescription + L"Desc");
  s.idProcess = 0xFFF0A1B2;
  EXPECT_EQ(EntryText(s, ListTab::Processes, Bytes).substr(0, 13), L"[ 4293960114 ");
}

// Room is counted in code page 932 bytes, so that an entry the code page
// holds is the text the list has always shown, cut where it was cut.
TEST(EntryText, LongFieldsCutInCodePageBytesOnACharacterWithAnEllipsis) {
  const std::wstring ellipsis = L"\u2026";
  const std::wstring kanji(100, L'\u8868');  // "表": 2 bytes
  TQorSvc s{4294967295u, 0, std::wstring(300, L'N'), L"x" + kanji, std::wstring(10000, L'W'), kanji, kanji};
  const std::wstring text = EntryText(s, ListTab::Processes, Bytes);
  EXPECT_EQ(text, L"[ 4294967295 : " + std::wstring(46, L'N') + ellipsis + L" ] x" + kanji.substr(0, 62) +
                      ellipsis + kCompany + std::wstring(78, L'W') + ellipsis + kDescription +
                      kanji.substr(0, 39) + ellipsis);
  const size_t title = text.find(L" ] ") + 3;
  // The window title on the application tab: an odd room left never halves "表".
  s.WindowText = L"ab" + kanji;
  EXPECT_EQ(EntryText(s, ListTab::Applications, Bytes).substr(title, 66), L"ab" + kanji.substr(0, 62) + ellipsis + L"\r");
  // A window that does not answer: its mark " (応答なし)" (11 bytes) stays
  // whole after the title, which alone is cut.
  s.WindowText = L"ab" + kanji + kNotRespondingMark;
  EXPECT_EQ(EntryText(s, ListTab::Applications, Bytes).substr(title, 67),
            L"ab" + kanji.substr(0, 56) + ellipsis + kNotRespondingMark + L"\r");
  // Half-width katakana are one byte each, as the code page has them; a
  // character it lacks (here outside the BMP) counts 2 a unit.
  s.DisplayName = std::wstring(48, L'\uFF71');
  EXPECT_EQ(EntryText(s, ListTab::Processes, Bytes).substr(15, 49), s.DisplayName + L" ");
  s.DisplayName += L"\uFF71";
  EXPECT_EQ(EntryText(s, ListTab::Processes, Bytes).substr(15, 48), std::wstring(46, L'\uFF71') + ellipsis + L" ");
  s.DisplayName = L"a" + std::wstring(30, L'\U0001F600');
  const std::wstring cut = EntryText(s, ListTab::Processes, Bytes).substr(15);
  EXPECT_EQ(cut.substr(0, cut.find(L" ] ")), L"a" + std::wstring(22, L'\U0001F600') + ellipsis);
  // Fields that fit are kept whole.
  TQorSvc fits{1, 0, std::wstring(24, L'\u8868'), std::wstring(128, L'p'), std::wstring(80, L'c'), std::wstring(80, L'd')};
  EXPECT_EQ(EntryText(fits, ListTab::Processes, Bytes),
            L"[ 1 : " + fits.DisplayName + L" ] " + fits.FileName + kCompany + fits.Company + kDescription + fits.Description);
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

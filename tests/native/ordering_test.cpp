#include "app/ordering.h"

#include <gtest/gtest.h>

#include <random>

#include "procinfo/entry_line.h"

namespace {

// The plain exchange sort over entry lines, parsing both lines at every
// comparison and moving line and "image" together.
template <typename Key>
void LiteralExchangeSort(std::vector<std::string>& lines, std::vector<int>& images, Key key) {
  for (size_t i = 0; i + 1 < lines.size(); ++i)
    for (size_t j = i + 1; j < lines.size(); ++j) {
      TQorSvc a, b;
      LineToSvc(lines[i], a);
      LineToSvc(lines[j], b);
      if (key(a) > key(b)) {
        std::swap(lines[i], lines[j]);
        std::swap(images[i], images[j]);
      }
    }
}

std::vector<std::string> RandomLines(std::mt19937& rng, size_t n) {
  static const char* names[] = {"", "A", "B", "System", "System Idle Process", "a.exe",
                                "svchost.exe", "\x83\x41.exe", "Z"};
  std::vector<std::string> lines;
  for (size_t k = 0; k < n; ++k) {
    TQorSvc s;
    s.idProcess = (rng() % 4 == 0) ? 0xFFFFFF00u + rng() % 8 : rng() % 12;
    s.DisplayName = names[rng() % 9];
    s.WindowText = std::to_string(k);
    lines.push_back(EntryLine(s));
  }
  return lines;
}

}  // namespace

TEST(Ordering, ByNameKeepsTheExchangeSortsUnstableOrder) {
  // B (3), A (1), B (2) become A (1), B (3), B (2).
  std::vector<std::string> names = {"B", "A", "B"};
  EXPECT_EQ(ExchangeOrderByName(names), (std::vector<size_t>{1, 0, 2}));
}

TEST(Ordering, NamesCompareByUnsignedBytes) {
  std::vector<std::string> names = {"b", "System Idle Process", "\x83\x41", "", "System", "B"};
  std::vector<size_t> order = ExchangeOrderByName(names);
  ApplyOrder(names, order);
  EXPECT_EQ(names, (std::vector<std::string>{"", "B", "System", "System Idle Process", "b",
                                             "\x83\x41"}));
}

TEST(Ordering, MatchesTheLiteralExchangeSortOnRandomLists) {
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> lines = RandomLines(rng, rng() % 40);
    std::vector<int> images(lines.size());
    for (size_t i = 0; i < images.size(); ++i) images[i] = static_cast<int>(i);
    const bool byName = round % 2;

    std::vector<std::string> expected = lines;
    std::vector<int> expectedImages = images;
    if (byName)
      LiteralExchangeSort(expected, expectedImages, [](const TQorSvc& s) { return s.DisplayName; });
    else
      LiteralExchangeSort(expected, expectedImages, [](const TQorSvc& s) { return s.idProcess; });

    std::vector<size_t> order;
    if (byName) {
      std::vector<std::string> names;
      for (auto& l : lines) {
        TQorSvc s;
        LineToSvc(l, s);
        names.push_back(s.DisplayName);
      }
      order = ExchangeOrderByName(names);
    } else {
      std::vector<uint32_t> keys;
      for (auto& l : lines) keys.push_back(HexToDWord(l));
      order = ExchangeOrder(keys);
    }
    ApplyOrder(lines, order);
    ApplyOrder(images, order);
    ASSERT_EQ(lines, expected) << "round " << round;
    ASSERT_EQ(images, expectedImages) << "round " << round;
  }
}

TEST(Ordering, ByAFigureLargestFirstTiesByIdentifier) {
  // Keys: a share or a size; -1 where none is known, last.
  const std::vector<int64_t> keys = {5, -1, 500, 5, 0, 500};
  const std::vector<uint32_t> ids = {30, 2, 9, 12, 4, 8};
  EXPECT_EQ(DescendingOrder(keys, ids), (std::vector<size_t>{5, 2, 3, 0, 4, 1}));
  EXPECT_TRUE(DescendingOrder({}, {}).empty());
}

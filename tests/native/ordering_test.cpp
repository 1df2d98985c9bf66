#include "model/ordering.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// An entry as the list orders it: its identifier and its image name in code
// page 932; `tag` tells entries apart.
struct Row {
  uint32_t id;
  std::string name;
  size_t tag;
  bool operator==(const Row&) const = default;
};

// The plain exchange sort, comparing the keys of two rows at every step and
// moving whole rows.
template <typename Key>
void LiteralExchangeSort(std::vector<Row>& rows, Key key) {
  for (size_t i = 0; i + 1 < rows.size(); ++i)
    for (size_t j = i + 1; j < rows.size(); ++j)
      if (key(rows[i]) > key(rows[j])) std::swap(rows[i], rows[j]);
}

std::vector<Row> RandomRows(std::mt19937& rng, size_t n) {
  static const char* names[] = {"", "A", "B", "System", "System Idle Process", "a.exe",
                                "svchost.exe", "\x83\x41.exe", "Z"};
  std::vector<Row> rows;
  for (size_t k = 0; k < n; ++k) {
    const auto id = static_cast<uint32_t>(rng() % 4 == 0 ? 0xFFFFFF00u + rng() % 8 : rng() % 12);
    rows.push_back({id, names[rng() % 9], k});
  }
  return rows;
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
    std::vector<Row> rows = RandomRows(rng, rng() % 40);
    const bool byName = round % 2;
    std::vector<Row> expected = rows;
    if (byName)
      LiteralExchangeSort(expected, [](const Row& r) { return r.name; });
    else
      LiteralExchangeSort(expected, [](const Row& r) { return r.id; });
    std::vector<size_t> order;
    if (byName) {
      std::vector<std::string> names;
      for (const Row& r : rows) names.push_back(r.name);
      order = ExchangeOrderByName(names);
    } else {
      std::vector<uint32_t> keys;
      for (const Row& r : rows) keys.push_back(r.id);
      order = ExchangeOrder(keys);
    }
    ApplyOrder(rows, order);
    ASSERT_EQ(rows, expected) << "round " << round;
  }
}

TEST(Ordering, ByAFigureLargestFirstTiesByIdentifier) {
  // Keys: a share or a size; -1 where none is known, last.
  const std::vector<int64_t> keys = {5, -1, 500, 5, 0, 500};
  const std::vector<uint32_t> ids = {30, 2, 9, 12, 4, 8};
  EXPECT_EQ(DescendingOrder(keys, ids), (std::vector<size_t>{5, 2, 3, 0, 4, 1}));
  EXPECT_TRUE(DescendingOrder({}, {}).empty());
}

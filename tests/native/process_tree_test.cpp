#include "procinfo/process_tree.h"

#include <gtest/gtest.h>

TEST(ProcessTree, DescendantsStartedAfterTheirParentsExcludedOnesLeftOutNoLoop) {
  // 10 started 4 and 9; 4 started 7; 8 names 10 as parent but started
  // before it (10 is a reused ID); 3 and 5 name each other, times unknown.
  const std::vector<ProcessRecord> records = {
      {9, 10, 300, "b"}, {7, 4, 400, "c"}, {10, 1, 100, "root"}, {4, 10, 200, "a"},
      {8, 10, 50, "stranger"}, {3, 5, 0, "x"}, {5, 3, 0, "y"}, {1, 0, 10, "init"}};
  auto ids = [](const std::vector<TreeMember>& tree) {
    std::vector<uint32_t> out;
    for (const TreeMember& m : tree) out.push_back(m.process.id * 10 + static_cast<uint32_t>(m.depth));
    return out;
  };  // each ID with its depth as the last digit
  EXPECT_EQ(ids(ProcessTree(records, 10, 99)), (std::vector<uint32_t>{100, 41, 72, 91}));
  EXPECT_EQ(ids(DeepestFirst(ProcessTree(records, 10, 99))), (std::vector<uint32_t>{72, 41, 91, 100}));
  EXPECT_EQ(ids(ProcessTree(records, 3, 99)), (std::vector<uint32_t>{30, 51}));
  EXPECT_EQ(ids(ProcessTree(records, 10, 4)), (std::vector<uint32_t>{100, 91}));  // nor what it started
  EXPECT_TRUE(ProcessTree(records, 10, 10).empty());
}

#include "procinfo/process_tree.h"

#include <gtest/gtest.h>

namespace {
std::vector<uint32_t> Ids(const std::vector<TreeMember>& tree) {
  std::vector<uint32_t> out;
  for (const TreeMember& m : tree) out.push_back(m.process.id);
  return out;
}
}  // namespace

TEST(ProcessTree, DescendantsStartedAfterTheirParentsAndNoLoop) {
  // 10 started 4 and 9; 4 started 7; 8 names 10 as parent but started
  // before it (10 is a reused ID); 3 and 5 name each other with unknown times.
  const std::vector<ProcessRecord> records = {
      {9, 10, 300, "b"}, {7, 4, 400, "c"}, {10, 1, 100, "root"}, {4, 10, 200, "a"},
      {8, 10, 50, "stranger"}, {3, 5, 0, "x"}, {5, 3, 0, "y"}, {1, 0, 10, "init"}};
  const std::vector<TreeMember> tree = ProcessTree(records, 10, 99);
  EXPECT_EQ(Ids(tree), (std::vector<uint32_t>{10, 4, 7, 9}));
  EXPECT_EQ(tree[2].depth, 2);
  EXPECT_EQ(Ids(DeepestFirst(tree)), (std::vector<uint32_t>{7, 4, 9, 10}));
  EXPECT_EQ(Ids(ProcessTree(records, 3, 99)), (std::vector<uint32_t>{3, 5}));
  // The excluded process (the program) and what it started stay out.
  EXPECT_EQ(Ids(ProcessTree(records, 10, 4)), (std::vector<uint32_t>{10, 9}));
  EXPECT_TRUE(ProcessTree(records, 10, 10).empty());
  EXPECT_TRUE(ProcessTree(records, 42, 99).empty());
}

// A process tree: a process and its descendants, found from the parent
// process IDs of one snapshot of the system's processes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ProcessRecord {
  uint32_t id = 0, parent = 0;
  uint64_t created = 0;  // when it started (FILETIME units); 0 where it cannot be read
  std::string name;
};

struct TreeMember {
  ProcessRecord process;
  int depth = 0;  // 0 for the root
};

// `root`'s tree in `records`: the root first, each process followed by its
// children (by ID) and theirs. A process is a child of the one its parent
// ID names only when it started after that one (where both times are
// known): an ID that ended and was reused never adopts another's children.
// `excluded` (the program itself) is never in the tree, nor are its own
// children through it. Empty when `root` is not in the records or is `excluded`.
std::vector<TreeMember> ProcessTree(const std::vector<ProcessRecord>& records, uint32_t root,
                                    uint32_t excluded);

// The order to stop a tree in: the deepest first, each depth in tree order.
std::vector<TreeMember> DeepestFirst(std::vector<TreeMember> tree);

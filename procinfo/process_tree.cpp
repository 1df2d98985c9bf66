#include "procinfo/process_tree.h"

#include <algorithm>
#include <unordered_set>

namespace {

bool StartedAfter(const ProcessRecord& child, const ProcessRecord& parent) {
  if (child.created == 0 || parent.created == 0) return true;  // nothing says otherwise
  return child.created > parent.created;
}

// `parent` by value: `out` grows under it.
void AddChildren(const std::vector<ProcessRecord>& byId, const TreeMember parent, uint32_t excluded,
                 std::unordered_set<uint32_t>& taken, std::vector<TreeMember>& out) {
  for (const ProcessRecord& r : byId) {
    if (r.parent != parent.process.id || r.id == excluded || taken.count(r.id)) continue;
    if (!StartedAfter(r, parent.process)) continue;
    taken.insert(r.id);
    const TreeMember child{r, parent.depth + 1};
    out.push_back(child);
    AddChildren(byId, child, excluded, taken, out);
  }
}

}  // namespace

std::vector<TreeMember> ProcessTree(const std::vector<ProcessRecord>& records, uint32_t root,
                                    uint32_t excluded) {
  std::vector<ProcessRecord> byId = records;
  std::stable_sort(byId.begin(), byId.end(),
                   [](const ProcessRecord& a, const ProcessRecord& b) { return a.id < b.id; });
  auto it = std::find_if(byId.begin(), byId.end(), [&](const ProcessRecord& r) { return r.id == root; });
  if (it == byId.end() || root == excluded) return {};
  std::vector<TreeMember> out{{*it, 0}};
  // Each process once: times that cannot be read could otherwise close a loop.
  std::unordered_set<uint32_t> taken{root};
  AddChildren(byId, out.front(), excluded, taken, out);  // copied before it grows
  return out;
}

std::vector<TreeMember> DeepestFirst(std::vector<TreeMember> tree) {
  std::stable_sort(tree.begin(), tree.end(),
                   [](const TreeMember& a, const TreeMember& b) { return a.depth > b.depth; });
  return tree;
}

// Ordering of the entry lists. The lists have always been ordered by a plain
// exchange sort, whose order among equal keys users see (the windows of one
// process, processes of one image name); these routines give exactly that
// order, computed on keys parsed once.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// order[k] is the index of the entry that ends at position k.
std::vector<size_t> ExchangeOrder(std::vector<uint32_t> keys);

// Image names compare byte by byte as unsigned values; a prefix comes first.
std::vector<size_t> ExchangeOrderByName(const std::vector<std::string>& names);

// Largest key first; equal keys by identifier, ascending.
std::vector<size_t> DescendingOrder(const std::vector<int64_t>& keys, const std::vector<uint32_t>& ids);

// Applies `order` to `items` (items[k] := old items[order[k]]).
template <typename T>
void ApplyOrder(std::vector<T>& items, const std::vector<size_t>& order) {
  std::vector<T> out;
  out.reserve(items.size());
  for (size_t k : order) out.push_back(std::move(items[k]));
  items.swap(out);
}

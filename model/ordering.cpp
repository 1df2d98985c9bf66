#include "model/ordering.h"

#include <algorithm>
#include <numeric>

std::vector<size_t> ExchangeOrder(std::vector<uint32_t> keys) {
  const size_t n = keys.size();
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  // A list already in order is left as it is by the exchange passes.
  if (std::is_sorted(keys.begin(), keys.end())) return order;
  for (size_t i = 0; i + 1 < n; ++i) {
    uint32_t held = keys[i];
    for (size_t j = i + 1; j < n; ++j) {
      if (held > keys[j]) {
        keys[i] = keys[j];
        keys[j] = held;
        held = keys[i];
        std::swap(order[i], order[j]);
      }
    }
  }
  return order;
}

std::vector<size_t> ExchangeOrderByName(const std::vector<std::string>& names) {
  // Rank the distinct names once; the exchange passes then compare numbers.
  std::vector<const std::string*> sorted;
  sorted.reserve(names.size());
  for (const auto& s : names) sorted.push_back(&s);
  std::sort(sorted.begin(), sorted.end(),
            [](const std::string* a, const std::string* b) { return *a < *b; });
  std::vector<uint32_t> ranks(names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    auto it = std::lower_bound(sorted.begin(), sorted.end(), &names[i],
                               [](const std::string* a, const std::string* b) { return *a < *b; });
    ranks[i] = static_cast<uint32_t>(it - sorted.begin());
  }
  return ExchangeOrder(std::move(ranks));
}

std::vector<size_t> DescendingOrder(const std::vector<int64_t>& keys, const std::vector<uint32_t>& ids) {
  std::vector<size_t> order(std::min(keys.size(), ids.size()));
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return keys[a] != keys[b] ? keys[a] > keys[b] : ids[a] < ids[b];
  });
  return order;
}

#include "app/entry_model.h"

#include <algorithm>

#include "app/ordering.h"

void EntryModel::Assign(std::vector<std::string> lines, const std::vector<HICON>& icons) {
  Clear();
  lines_ = std::move(lines);
  entries_.resize(lines_.size());
  for (size_t i = 0; i < lines_.size(); ++i) LineToSvc(lines_[i], entries_[i]);
  imageOf_ = images_.AppendDistinct(icons);
}

void EntryModel::Clear() {
  lines_.clear();
  entries_.clear();
  imageOf_.clear();
  images_.Clear();
}

void EntryModel::OrderByProcessId() {
  if (lines_.size() < 2) return;
  std::vector<uint32_t> keys;
  keys.reserve(entries_.size());
  for (const TQorSvc& e : entries_) keys.push_back(e.idProcess);
  Reorder(ExchangeOrder(std::move(keys)));
}

void EntryModel::OrderByImageName() {
  if (lines_.size() < 2) return;
  std::vector<std::string> names;
  names.reserve(entries_.size());
  for (const TQorSvc& e : entries_) names.push_back(e.DisplayName);
  Reorder(ExchangeOrderByName(names));
}

void EntryModel::Reorder(const std::vector<size_t>& order) {
  if (std::is_sorted(order.begin(), order.end())) return;
  ApplyOrder(lines_, order);
  ApplyOrder(entries_, order);
  ApplyOrder(imageOf_, order);
}

void EntryLists::Clear() {
  Processes.Clear();
  Applications.Clear();
  CreationTimes.clear();
}

EntryModel* EntryLists::Tab(int index) {
  if (index == 0) return &Processes;
  if (index == 1) return &Applications;
  return nullptr;
}

FileResolver CachedResolver(ResolveCache& cache) {
  return [&cache](const std::string& path) {
    const Resolution& r = cache.Get(path);
    return FileFacts{r.DisplayName, r.Company, r.Description, r.Icon.get()};
  };
}

void LoadEntryLists(EntryLists& out, const FixedEntries& fixed) {
  // The cache owns the files' icons until both image lists hold copies.
  ResolveCache cache;
  Snapshot s = TakeSnapshot(fixed, CachedResolver(cache));
  out.Processes.Assign(std::move(s.ProcessLines), s.ProcessIcons);
  out.Applications.Assign(std::move(s.ApplicationLines), s.ApplicationIcons);
  out.CreationTimes = std::move(s.CreationTimes);
}

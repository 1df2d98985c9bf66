#include "model/entry_model.h"

#include <algorithm>

#include "model/figure_text.h"
#include "model/ordering.h"
#include "model/reload_job.h"
#include "base/shown_text.h"

namespace {

const SharedTables& NoTables() {
  static const SharedTables none = std::make_shared<const ProcessTables>();
  return none;
}

}  // namespace

void EntryModel::Assign(std::vector<ListedEntry> listed, SharedTables tables) {
  Clear();
  if (tables) tables_ = std::move(tables);
  std::vector<HICON> icons;
  icons.reserve(listed.size());
  for (ListedEntry& e : listed) {
    icons.push_back(e.icon);
    e.icon = nullptr;
  }
  entries_ = std::move(listed);
  imageOf_ = images_.AppendDistinct(icons);
  sources_.assign(static_cast<size_t>(images_.Count()), nullptr);
  for (size_t i = 0; i < icons.size(); ++i)
    if (imageOf_[i] >= 0 && static_cast<size_t>(imageOf_[i]) < sources_.size())
      sources_[static_cast<size_t>(imageOf_[i])] = icons[i];
}

void EntryModel::Clear() {
  entries_.clear();
  figures_.clear();
  shown_.clear();
  imageOf_.clear();
  sources_.clear();
  images_.Clear();
  tables_ = NoTables();
}

const FILETIME* EntryModel::CreatedOf(uint32_t pid) const {
  if (!tables_) return nullptr;
  auto it = tables_->CreationTimes.find(pid);
  return it == tables_->CreationTimes.end() ? nullptr : &it->second;
}

const std::wstring* EntryModel::FileOf(uint32_t pid) const {
  if (!tables_) return nullptr;
  auto it = tables_->Files.find(pid);
  return it == tables_->Files.end() ? nullptr : &it->second;
}

void EntryModel::SetIconSize(int size, const IconRenewals& renewed) {
  std::vector<HICON> sources = std::move(sources_);
  for (HICON& icon : sources)
    for (const auto& [old, now] : renewed)
      if (icon == old) icon = now;
  images_.Clear();
  images_.SetSize(size, size);
  // Two icons renewed as one share an image from now on.
  const std::vector<int> moved = images_.AppendDistinct(sources);
  for (int& image : imageOf_) image = moved[static_cast<size_t>(image)];
  sources_.assign(static_cast<size_t>(images_.Count()), nullptr);
  for (size_t k = 0; k < sources.size(); ++k) sources_[static_cast<size_t>(moved[k])] = sources[k];
}

void EntryModel::OrderByProcessId() {
  if (entries_.size() < 2) return;
  std::vector<uint32_t> keys;
  keys.reserve(entries_.size());
  for (const ListedEntry& e : entries_) keys.push_back(e.entry.idProcess);
  Reorder(ExchangeOrder(std::move(keys)));
}

void EntryModel::OrderByImageName() {
  if (entries_.size() < 2) return;
  std::vector<std::string> names;
  names.reserve(entries_.size());
  // In code page 932 bytes, the order the list has always had.
  for (const ListedEntry& e : entries_) names.push_back(ShownText(e.entry.DisplayName));
  Reorder(ExchangeOrderByName(names));
}

void EntryModel::OrderByCpu() {
  OrderByFigure([](const ProcessFigures& f) -> int64_t {
    return f.state == ProcessFigures::State::Live ? f.cpuTenths : -1;
  });
}

void EntryModel::OrderByMemory() {
  OrderByFigure([](const ProcessFigures& f) -> int64_t {
    return f.state == ProcessFigures::State::Live ? static_cast<int64_t>(f.privateBytes) : -1;
  });
}

void EntryModel::OrderByFigure(int64_t (*key)(const ProcessFigures&)) {
  if (entries_.size() < 2 || figures_.size() != entries_.size()) return;
  std::vector<int64_t> keys;
  std::vector<uint32_t> ids;
  keys.reserve(entries_.size());
  ids.reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) {
    keys.push_back(key(figures_[i]));
    ids.push_back(entries_[i].entry.idProcess);
  }
  Reorder(DescendingOrder(keys, ids));
}

std::vector<size_t> EntryModel::UpdateFigures(const FigureSampler& sampler) {
  std::vector<size_t> changed;
  const bool first = shown_.size() != entries_.size();
  if (first) figures_.clear();
  figures_.resize(entries_.size());
  shown_.resize(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) {
    const TQorSvc& entry = entries_[i].entry;
    ProcessFigures now = sampler.Of(entry.idProcess, entry.created);
    // Ended only once seen running: a process no reading ever held is not known.
    using State = ProcessFigures::State;
    if (now.state == State::Ended && figures_[i].state == State::Unknown) now = ProcessFigures{};
    if (!first && now == figures_[i]) continue;  // nothing to format or draw
    figures_[i] = now;
    EntryFigures lines = LinesOf(now);
    if (first || !(lines == shown_[i])) changed.push_back(i);
    shown_[i] = std::move(lines);
  }
  return changed;
}

void EntryModel::Reorder(const std::vector<size_t>& order) {
  if (std::is_sorted(order.begin(), order.end())) return;
  ApplyOrder(entries_, order);
  if (figures_.size() == order.size()) {
    ApplyOrder(figures_, order);
    ApplyOrder(shown_, order);
  }
  ApplyOrder(imageOf_, order);
}

void EntryLists::Take(ReloadPart& part) {
  Snapshot& s = part.snapshot;
  if (part.kind == ReloadPart::Kind::Processes) {
    reading_ = TablesOf(s);
    Processes.Assign(std::move(s.Processes), reading_);
  } else if (part.kind == ReloadPart::Kind::Applications) {
    Applications.Assign(std::move(s.Applications), reading_);
  }
}

void EntryLists::Clear() {
  Processes.Clear();
  Applications.Clear();
}

void EntryLists::SetIconSize(int size, const IconRenewals& renewed) {
  Processes.SetIconSize(size, renewed);
  Applications.SetIconSize(size, renewed);
}

EntryModel* EntryLists::Tab(ListTab tab) {
  if (tab == ListTab::Processes) return &Processes;
  if (tab == ListTab::Applications) return &Applications;
  return nullptr;
}

SharedTables TablesOf(Snapshot& s) {
  auto tables = std::make_shared<ProcessTables>();
  tables->CreationTimes = std::move(s.CreationTimes);
  tables->Files = std::move(s.Files);
  return tables;
}

FileResolver CachedResolver(ResolveCache& cache) {
  return [&cache](const ReportedPath& path) {
    const Resolution& r = path.wide.empty() ? cache.Get(path.shown) : cache.Get(path.wide);
    return FileFacts{r.DisplayName, r.Company, r.Description, r.Icon.get(), r.RealPath};
  };
}

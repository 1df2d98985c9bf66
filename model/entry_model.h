// The entries of one tab: each entry record with the index of its icon in
// the tab's image list. A reorder moves entries and indices, never images.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/entry.h"
#include "model/entry_figures.h"
#include "model/list_tab.h"
#include "model/snapshot.h"
#include "procinfo/figures.h"
#include "productinfo/resolve.h"
#include "ui/image_list.h"

// Icons made anew (at another size): each old one with its replacement.
using IconRenewals = std::vector<std::pair<HICON, HICON>>;

// What one reading knew of each listed process: when it started, where that
// could be read, and the real file whose facts it shows, where found by its
// wide path. An entry is its process ID with the start its reading saw: an
// action on it leaves alone a process that took over the ID since.
struct ProcessTables {
  std::unordered_map<uint32_t, FILETIME> CreationTimes;
  std::unordered_map<uint32_t, std::wstring> Files;
};
using SharedTables = std::shared_ptr<const ProcessTables>;

class EntryModel {
 public:
  EntryModel() : images_(32, 32) {}

  // The image list keeps its own copy of each distinct icon of `listed`.
  // `tables` are those of the reading the entries come from: entries and
  // tables change together.
  void Assign(std::vector<ListedEntry> listed, SharedTables tables);
  void Clear();
  // The size of the icons it keeps: the images are made again from the icons
  // the entries came with, each of `renewed`'s first icons replaced by its
  // second; the entries and their order stay.
  void SetIconSize(int size, const IconRenewals& renewed = {});
  // The order a plain exchange sort gives, by process ID or by image name.
  void OrderByProcessId();
  void OrderByImageName();
  // Largest figure first, ties by process ID; unknown figures last.
  void OrderByCpu();
  void OrderByMemory();
  // Each entry's figures by the sampler's last reading, a process known by
  // its ID and its start. Returns the entries whose drawn figures changed.
  std::vector<size_t> UpdateFigures(const FigureSampler& sampler);
  // When the listed process `pid` started, as its reading saw it; null where
  // that could not be read.
  const FILETIME* CreatedOf(uint32_t pid) const;
  // Its real file; null where only its shown path is known.
  const std::wstring* FileOf(uint32_t pid) const;
  // The drawn figures of entry i: as many as entries once updated, else none.
  const std::vector<EntryFigures>& Figures() const { return shown_; }
  bool Ended(size_t i) const { return i < shown_.size() && shown_[i].ended; }

  size_t Size() const { return entries_.size(); }
  const TQorSvc& EntryAt(size_t i) const { return entries_[i].entry; }
  // The window entry i was made from (borrowed, maybe gone since), or null.
  HWND WindowAt(size_t i) const { return i < entries_.size() ? entries_[i].window : nullptr; }
  ui::UniqueIcon IconAt(size_t i) const { return images_.GetIcon(imageOf_[i]); }
  const ui::ImageList& Images() const { return images_; }
  // imageOf_[i] is the image of entry i.
  const std::vector<int>& ImageIndices() const { return imageOf_; }

 private:
  void Reorder(const std::vector<size_t>& order);
  void OrderByFigure(int64_t (*key)(const ProcessFigures&));

  // The entries with their windows; their icons are in the image list
  // (null here). The images and figures are in arrays of their own, as the
  // list draws them.
  std::vector<ListedEntry> entries_;
  std::vector<int> imageOf_;      // the image of entry i
  std::vector<ProcessFigures> figures_;  // of entry i, once updated
  std::vector<EntryFigures> shown_;      // as drawn, likewise
  std::vector<HICON> sources_;    // borrowed: what image k was made from, kept by the caller
  ui::ImageList images_;
  SharedTables tables_;  // of the reading the entries come from; never null
};

struct ReloadPart;

// Both tabs of one reading.
struct EntryLists {
  EntryModel Processes;     // the process tab
  EntryModel Applications;  // the application tab

  // Takes one part of a reading into its tab. The processes part brings the
  // tables its applications part then shares; the other tab keeps its own
  // entries and tables until its part comes.
  void Take(ReloadPart& part);
  void Clear();
  void SetIconSize(int size, const IconRenewals& renewed = {});
  // The model of tab `tab`; none for a value that names no tab.
  EntryModel* Tab(ListTab tab);

 private:
  SharedTables reading_;  // of the last processes part
};

// The snapshot's tables, moved out of it.
SharedTables TablesOf(Snapshot& s);

// Resolves each file once through `cache`, which keeps the icons.
FileResolver CachedResolver(ResolveCache& cache);

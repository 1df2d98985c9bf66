// The entries of one tab: each entry line with the index of its icon in the
// tab's image list. A reorder moves lines and indices, never images; the
// lines are parsed once, so that showing an entry never parses it again.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "procinfo/entry_line.h"
#include "procinfo/snapshot.h"
#include "productinfo/resolve.h"
#include "ui/image_list.h"

class EntryModel {
 public:
  EntryModel() : images_(32, 32) {}

  // `icons[i]` is the icon of `lines[i]`; the image list keeps its own copy
  // of each distinct icon.
  void Assign(std::vector<std::string> lines, const std::vector<HICON>& icons);
  void Clear();
  // The order a plain exchange sort gives, by process ID or by image name.
  void OrderByProcessId();
  void OrderByImageName();

  size_t Size() const { return lines_.size(); }
  const std::string& LineAt(size_t i) const { return lines_[i]; }
  const TQorSvc& EntryAt(size_t i) const { return entries_[i]; }
  ui::UniqueIcon IconAt(size_t i) const { return images_.GetIcon(imageOf_[i]); }
  const ui::ImageList& Images() const { return images_; }
  // imageOf_[i] is the image of entry i.
  const std::vector<int>& ImageIndices() const { return imageOf_; }

 private:
  void Reorder(const std::vector<size_t>& order);

  std::vector<std::string> lines_;
  std::vector<TQorSvc> entries_;  // lines_[i] parsed
  std::vector<int> imageOf_;      // the image of line i
  ui::ImageList images_;
};

// Both tabs of one snapshot.
struct EntryLists {
  EntryModel Processes;     // the process tab
  EntryModel Applications;  // the application tab
  // When each listed process started, where it could be read: an action on
  // an identifier checks it is still the same process.
  std::unordered_map<uint32_t, FILETIME> CreationTimes;

  void Clear();
  // The model of tab `index`; none for another index.
  EntryModel* Tab(int index);
};

// Resolves each file once through `cache`, which keeps the icons.
FileResolver CachedResolver(ResolveCache& cache);

// Takes a snapshot of the running processes into both models, each file
// resolved once.
void LoadEntryLists(EntryLists& out, const FixedEntries& fixed);

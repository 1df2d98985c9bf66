// An owned image list of 32-bit icons with masks.
#pragma once
#include <vector>

#include "ui/gdi.h"

namespace ui {

class ImageList {
 public:
  ImageList(int width, int height);
  HIMAGELIST get() const { return list_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return ImageList_GetImageCount(list_.get()); }
  int Add(HICON icon) { return ImageList_AddIcon(list_.get(), icon); }
  // A new icon holding image i (the list keeps its own).
  UniqueIcon GetIcon(int i) const;
  void Clear() { ImageList_RemoveAll(list_.get()); }
  // A new image size; the list is emptied.
  void SetSize(int width, int height);
  // Appends each distinct icon of `icons` once and returns, for each
  // icons[i], the index of its image: repeats share one image.
  std::vector<int> AppendDistinct(const std::vector<HICON>& icons);

 private:
  int width_, height_;
  UniqueImageList list_;  // owned
};

}  // namespace ui

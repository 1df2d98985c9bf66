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
  int Add(HICON icon) {
    version_ = NextVersion();
    return ImageList_AddIcon(list_.get(), icon);
  }
  // A new icon holding image i (the list keeps its own).
  UniqueIcon GetIcon(int i) const;
  void Clear() {
    version_ = NextVersion();
    ImageList_RemoveAll(list_.get());
  }
  // A new image size; the list is emptied.
  void SetSize(int width, int height);
  // Appends each distinct icon of `icons` once and returns, for each
  // icons[i], the index of its image: repeats share one image.
  std::vector<int> AppendDistinct(const std::vector<HICON>& icons);
  // Changes with every change to the images, and no two lists ever share
  // one: copies made of the images know when they are out of date.
  unsigned Version() const { return version_; }

 private:
  static unsigned NextVersion();
  int width_, height_;
  unsigned version_ = NextVersion();
  UniqueImageList list_;  // owned
};

}  // namespace ui

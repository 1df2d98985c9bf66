#include "ui/image_list.h"

namespace ui {

namespace {
HIMAGELIST NewList(int w, int h) { return ImageList_Create(w, h, ILC_COLOR32 | ILC_MASK, 16, 64); }
}  // namespace

ImageList::ImageList(int width, int height)
    : width_(width), height_(height), list_(NewList(width, height)) {}

UniqueIcon ImageList::GetIcon(int i) const {
  return UniqueIcon(ImageList_GetIcon(list_.get(), i, ILD_NORMAL));
}

void ImageList::Rearrange(const std::vector<size_t>& order) {
  UniqueImageList fresh(NewList(width_, height_));
  for (size_t k : order) {
    // Copying image by image through an icon keeps colour and mask exactly.
    UniqueIcon icon = GetIcon(static_cast<int>(k));
    ImageList_AddIcon(fresh.get(), icon.get());
  }
  list_ = std::move(fresh);
}

}  // namespace ui

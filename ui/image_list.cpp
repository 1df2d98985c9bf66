#include "ui/image_list.h"

#include <unordered_map>

namespace ui {

namespace {
HIMAGELIST NewList(int w, int h) { return ImageList_Create(w, h, ILC_COLOR32 | ILC_MASK, 16, 64); }
}  // namespace

ImageList::ImageList(int width, int height)
    : width_(width), height_(height), list_(NewList(width, height)) {}

void ImageList::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
  ImageList_SetIconSize(list_.get(), width, height);
}

UniqueIcon ImageList::GetIcon(int i) const {
  return UniqueIcon(ImageList_GetIcon(list_.get(), i, ILD_NORMAL));
}

void ImageList::Append(const std::vector<HICON>& icons) {
  const int base = Count();
  ImageList_SetImageCount(list_.get(), static_cast<UINT>(base + static_cast<int>(icons.size())));
  std::unordered_map<HICON, int> first;
  for (size_t i = 0; i < icons.size(); ++i) {
    const int index = base + static_cast<int>(i);
    auto [it, isNew] = first.emplace(icons[i], index);
    if (isNew)
      ImageList_ReplaceIcon(list_.get(), index, icons[i]);
    else
      ImageList_Copy(list_.get(), index, list_.get(), it->second, ILCF_MOVE);
  }
}

void ImageList::Rearrange(const std::vector<size_t>& order) {
  const int n = static_cast<int>(order.size());
  const int spare = n;  // one extra slot holds an image while its cycle moves
  ImageList_SetImageCount(list_.get(), static_cast<UINT>(n + 1));
  auto copy = [&](int to, int from) { ImageList_Copy(list_.get(), to, list_.get(), from, ILCF_MOVE); };
  std::vector<bool> placed(order.size(), false);
  for (int start = 0; start < n; ++start) {
    if (placed[start] || static_cast<int>(order[start]) == start) continue;
    copy(spare, start);
    int k = start;
    for (;;) {
      placed[k] = true;
      const int from = static_cast<int>(order[k]);
      if (from == start) {
        copy(k, spare);
        break;
      }
      copy(k, from);
      k = from;
    }
  }
  ImageList_SetImageCount(list_.get(), static_cast<UINT>(n));
}

}  // namespace ui

#include "ui/image_list.h"

#include <unordered_map>

#include "base/late_bound.h"

namespace ui {

namespace {
HIMAGELIST NewList(int w, int h) { return ImageList_Create(w, h, ILC_COLOR32 | ILC_MASK, 16, 64); }
}  // namespace

unsigned ImageList::NextVersion() {
  static unsigned last = 0;  // the window's thread alone makes and changes image lists
  return ++last;
}

ImageList::ImageList(int width, int height)
    : width_(width), height_(height), list_(NewList(width, height)) {}

void ImageList::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
  version_ = NextVersion();
  ImageList_SetIconSize(list_.get(), width, height);
}

UniqueIcon ImageList::GetIcon(int i) const {
  return UniqueIcon(ImageList_GetIcon(list_.get(), i, ILD_NORMAL));
}

std::vector<int> ImageList::AppendDistinct(const std::vector<HICON>& icons) {
  version_ = NextVersion();
  std::unordered_map<HICON, int> first;
  for (HICON icon : icons) first.emplace(icon, -1);
  const int base = Count();
  // One allocation for all where the list can grow at once (common controls
  // 4.70 on); else each icon is appended at the index it would have had.
  using SetCountFn = BOOL(WINAPI*)(HIMAGELIST, UINT);
  static const auto setCount = base::LateBound<SetCountFn>("comctl32.dll", "ImageList_SetImageCount");
  const bool sized =
      setCount && setCount(list_.get(), static_cast<UINT>(base + static_cast<int>(first.size())));
  std::vector<int> indices;
  indices.reserve(icons.size());
  int next = base;
  for (HICON icon : icons) {
    int& index = first[icon];
    if (index < 0) {
      index = next++;
      ImageList_ReplaceIcon(list_.get(), sized ? index : -1, icon);
    }
    indices.push_back(index);
  }
  return indices;
}

}  // namespace ui

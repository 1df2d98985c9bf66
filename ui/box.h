// A rectangle as left, top, width and height, in a parent's client
// coordinates: the unit every placement works in.
#pragma once

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
};

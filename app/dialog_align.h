// Vertical centring of a message dialog's icon and text on each other.
#pragma once

struct AlignedTops {
  int imageTop, labelTop;
};

// The shorter of the two is centred on the taller; equal heights keep both.
inline AlignedTops AlignIconAndText(int imageTop, int imageHeight, int labelTop, int labelHeight) {
  if (labelHeight < imageHeight) labelTop = imageTop + (imageHeight - labelHeight) / 2;
  if (labelHeight > imageHeight) imageTop = labelTop + (labelHeight - imageHeight) / 2;
  return {imageTop, labelTop};
}

// The priority classes in the order of the priority box's items.
#pragma once
#include <cstdint>

inline constexpr uint32_t kPriorityClasses[6] = {0x100, 0x80, 0x8000, 0x20, 0x4000, 0x40};
inline constexpr int kNormalIndex = 3;

// Class to item index; anything not in the table (0, 0xFFFF...) is "normal".
inline int PriorityIndexOf(uint32_t cls) {
  for (int i = 0; i < 6; ++i)
    if (kPriorityClasses[i] == cls) return i;
  return kNormalIndex;
}

// Item index to class; an index not in the table (-1...) is normal, 0x20.
inline uint32_t PriorityClassAt(int index) {
  return index >= 0 && index < 6 ? kPriorityClasses[index] : 0x20;
}

// Contrast ratios against figures the guidelines publish.
#include <gtest/gtest.h>

#include "base/contrast.h"

TEST(Contrast, PublishedFigures) {
  EXPECT_NEAR(base::ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
  EXPECT_NEAR(base::ContrastRatio(0x123456, 0x123456), 1.0, 1e-9);
  // #777777 on white: 4.48, the grey just short of readable.
  EXPECT_NEAR(base::ContrastRatio(0x777777, 0xFFFFFF), 4.48, 0.005);
  // Pure green is far brighter than pure blue: the channels are weighed, and
  // read from the system's 0x00BBGGRR layout.
  EXPECT_NEAR(base::ContrastRatio(0x00FF00, 0x000000), 15.3, 0.05);
  EXPECT_NEAR(base::ContrastRatio(0xFF0000, 0x000000), 2.44, 0.01);
}

TEST(Contrast, ReadableOnTakesTheFirstPreferredThatReadsElseTheBest) {
  EXPECT_EQ(base::ReadableOn(0x603020, {0x000000, 0xFFFFFF}), 0xFFFFFFu);  // on navy
  EXPECT_EQ(base::ReadableOn(0x808080, {0x7F7F7F, 0x909090}), 0x000000u);  // none reads: black, 5.3 : 1
}

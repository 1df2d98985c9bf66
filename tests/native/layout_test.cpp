#include "app/form_layout.h"

#include <gtest/gtest.h>

namespace {
FormLayout Created(int labelWidth = 54) {
  FormLayout f;
  f.LL_idProcess.width = labelWidth;
  LayoutOnCreate(f);
  return f;
}
}  // namespace

TEST(FormLayout, WideningKeepsTheRightColumnFlush) {
  FormLayout f = Created();
  LayoutOnResize(f, 1001);
  EXPECT_EQ(f.BB_Close.right(), 1001 - 4);
  EXPECT_EQ(f.BB_Update.left, f.BB_Close.left);
  EXPECT_EQ(f.BB_Stop.left, f.BB_Close.left);
  EXPECT_EQ(f.CB_Priority.right(), f.BB_Close.left - 4);
  EXPECT_EQ(f.ED_FileName.right(), f.BB_Close.left - 4);
  EXPECT_EQ(f.ED_idProcess.width, (f.BB_Close.left - f.LL_idProcess.left) / 2 - 4 - 54);
}

TEST(FormLayout, DesignScalesOnceForTheDpiAndIsItselfAt96) {
  // At 96 DPI the design as it stands, value for value.
  FormLayout design, at96 = DesignLayout(96);
  EXPECT_EQ(at96.BB_Close.width, design.BB_Close.width);
  EXPECT_EQ(at96.ED_idProcess.height, 20);
  EXPECT_EQ(at96.ItemHeight, 46);
  EXPECT_EQ(at96.MinOuterWidth, 640);
  EXPECT_EQ(at96.Gap(4), 4);

  // At 144 DPI every design value and gap is one and a half times as large
  // (labels keep the size measured in the larger font).
  FormLayout f = DesignLayout(144);
  EXPECT_EQ(f.MinOuterWidth, 960);
  EXPECT_EQ(f.MinOuterHeight, 720);
  EXPECT_EQ(f.ItemHeight, 69);
  EXPECT_EQ(f.TabWidth, 270);
  EXPECT_EQ(f.TabHeight, 33);
  EXPECT_EQ(f.PriorityItemHeight, 18);
  EXPECT_EQ(f.PriorityDropHeight, 240);  // the open list's room grows with its items
  EXPECT_EQ(f.BB_Close.width, 132);
  EXPECT_EQ(f.BB_Reget.height, 38);  // 37.5 rounds up
  f.LL_idProcess.width = 81;
  LayoutOnCreate(f);
  EXPECT_EQ(f.PL_BaseHeight, 7 * (30 + 6) + 6);
  EXPECT_EQ(f.ED_DisplayName.top, 6 + 30 + 6);
  EXPECT_EQ(f.PL_BtnHeight, 38 + 12);
  EXPECT_EQ(f.SB_ProcessID.left, 6 + 180 + 12);
  LayoutOnResize(f, 948);
  EXPECT_EQ(f.BB_Close.right(), 948 - 6);
  EXPECT_EQ(f.BB_Close.top, f.PL_BaseHeight - 47 - 6);
  EXPECT_EQ(f.ED_FileName.right(), f.BB_Close.left - 6);
}

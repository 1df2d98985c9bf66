#include <gtest/gtest.h>
TEST(GuiPlaceholder, Runs) { EXPECT_TRUE(true); }

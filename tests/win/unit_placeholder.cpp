#include <gtest/gtest.h>
TEST(Placeholder, Runs) { EXPECT_TRUE(true); }

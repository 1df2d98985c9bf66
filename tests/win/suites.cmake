wine_gtest(unit_tests Placeholder)

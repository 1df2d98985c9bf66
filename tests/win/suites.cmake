# The ctest tests of the Windows test programs, one per suite.
wine_gtest(unit_tests ProductInfo Resolve AppWindows ListFixture ListHeight Snapshot ProcessOps
           EntrySequence RegistryFixture Listing FormFixture ImageListOps)
wine_gtest(gui_tests Gui Link Keys Package Scaling Text)
set_tests_properties(wine.Package PROPERTIES FIXTURES_REQUIRED "wine;package")
# In the 64-bit prefix.
wine64_gtest(unit_tests Wow64)

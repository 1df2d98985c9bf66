# The ctest tests of the Windows test programs, one per suite.
wine_gtest(unit_tests ProductInfo Resolve AppWindows ListFixture ListHeight Snapshot ProcessOps
           EntrySequence RegistryFixture Listing FormFixture ImageListOps)
wine_gtest(gui_tests Gui Link Keys)

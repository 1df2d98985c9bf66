# The ctest tests of the Windows test programs, one per suite.
wine_gtest(unit_tests ProductInfo Resolve AppWindows ListFixture Snapshot ProcessOps FiguresFixture
           EntrySequence RegistryFixture Listing FormFixture ImageListOps FigureReading)
wine_gtest(gui_tests Gui Link Keys Package Scaling Text NineX Windows Figures Details)
set_tests_properties(wine.Package PROPERTIES FIXTURES_REQUIRED "wine;package")
# The start error's box and the environment's values in a process of code
# page 1252 (no manifest asks for another).
add_test(NAME wine.CodePage1252
         COMMAND ${WINETEST} ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/win/tests/unit_tests.exe
                 --gtest_filter=EntrySequence.StartErrorBox*:Resolve.EnvironmentValues*)
set_tests_properties(wine.CodePage1252 PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine
                     LABELS wine TIMEOUT 300 ENVIRONMENT VORLANE_LOCALE=en_US.UTF-8
                     SKIP_RETURN_CODE 77)
# In the 64-bit prefix.
wine64_gtest(unit_tests Wow64)
wine64_gtest(gui_tests Details)
# The x64 build: the same tests, the 64-bit program.
x64_gtest(unit_tests ProductInfo Resolve AppWindows ListFixture Snapshot ProcessOps FiguresFixture
          EntrySequence RegistryFixture Listing FormFixture ImageListOps FigureReading)
x64_gtest(gui_tests Gui Link Keys Package Scaling Text Windows Figures Details)
set_tests_properties(x64.Package PROPERTIES FIXTURES_REQUIRED "wine64;package")

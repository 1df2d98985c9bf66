// The GUI test program's entry. Under Wine, detaching the system libraries
// from a process that has driven the clipboard and other processes' windows
// faults now and then, after every result has been written; the debugger
// it starts then holds the run until its time limit. The program ends as
// soon as its results are out instead.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
  return result;
}

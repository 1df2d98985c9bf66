// What the benchmark's scenarios share.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "../tests/win/harness.h"

inline constexpr int kStarts = 5;  // timed starts of each program, after one warm-up

// Milliseconds from a fixed point.
double Now();
// Prints "<n> <figure> <median> <min> <max>".
void Report(const std::string& n, const char* figure, std::vector<double> ms);
// The system calls any viewer of the same facts must make.
void FloorPass();

// The whole-system process list (SystemProcessInformation) into `buf`,
// given room for any size the benchmark makes; false when it cannot be read.
bool ReadProcessList(std::vector<unsigned char>& buf);

// A renamed copy of Vorlane.exe (so that its memory can be read by name),
// started and timed until its process list holds every process.
struct VorlaneRun {
  harness::Process app;
  HWND form = nullptr, list = nullptr;
  // Milliseconds from start to a full list; negative when it never came.
  double StartToList(int processes);
  // Returns once it has handled everything sent and posted so far and has
  // repainted what was due.
  void Settle() const;
  // A reload asked for by its button, timed until the status bar no longer
  // says 読み込み中 (the reload runs off the window's thread). With
  // `worstAnswer`, a message is sent every 10 ms meanwhile and the slowest
  // answer is written there.
  double Reload(double* worstAnswer = nullptr) const;
  // Its own processor time (100 ns units) from the whole-system process
  // list: under Wine the only true figure for another process.
  unsigned long long CpuTime() const;
  // Closes it and waits until it has ended (a second start would only
  // bring this one forward).
  void Close();
  ~VorlaneRun() { Close(); }
};

// A bare owner-drawn list box with strings (each item drawn as its text) in a
// window of another process, of the size and item height of `like`: refilled
// `runs` times with each of `texts` in turn through one sent message, redraw
// off, storage reserved, each timed until it has repainted, as Vorlane's
// reorders are.
std::vector<double> BareListFill(HWND like, const std::vector<std::vector<std::string>>& texts,
                                 int runs);

// 300 processes of 60 programs, each with its own version texts and icon:
// Vorlane's reload beside the floor. False, with a message, on failure.
bool MeasureMix();

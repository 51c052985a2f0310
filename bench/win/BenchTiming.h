// Timing, message-loop and goal-table helpers shared by the benchmarks that run under Windows.
#pragma once

#include "classlib/Win.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace qvbench {

// Seconds on the performance counter.
inline double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return double(c.QuadPart) / double(f.QuadPart);
}

// The median of the rounds' figures (0 for none).
inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The mean time of one call over reps calls in a row.
template <class Fn>
double SecondsPerCall(Fn&& fn, int reps) {
  const double t0 = Now();
  for (int i = 0; i < reps; ++i) fn();
  return (Now() - t0) / reps;
}

// The two sides of round Round, the one that goes first alternating from round to round, so that
// neither always finds the caches and the system as the other left them.
template <class A, class B>
void BothSides(int Round, A&& a, B&& b) {
  if (Round % 2 == 0) {
    a();
    b();
  } else {
    b();
    a();
  }
}

// Hands out every message waiting in the thread's queue.
inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// A goal of the run: a figure that should stay under its target.
struct TGoal {
  std::string Text;
  double Figure, Target;
};
inline std::vector<TGoal> Goals;

// The goals as a table, each with whether it is met.
inline void PrintGoals() {
  std::printf("\n%-60s %8s %9s  %s\n", "goal", "figure", "target", "met");
  for (const TGoal& g : Goals)
    std::printf("%-60s %8.2f %7s%.2f  %s\n", g.Text.c_str(), g.Figure, "<", g.Target,
                g.Figure < g.Target ? "yes" : "NO");
}

}  // namespace qvbench

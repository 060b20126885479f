#pragma once

#include <functional>

// The best of a few runs, in seconds: the least disturbed by other load.
double bestSeconds(const std::function<void()>& work, int runs = 3);
// One figure: the stage, its time and what it is compared with.
void report(const char* stage, double seconds, const char* detail = "");
// Peak resident memory of this process since it started or since the last
// resetPeakMemory(), in megabytes.
double peakMemoryMegabytes();
// Its private resident memory now (the heap and what it maps of its own, not
// the libraries' code, which every program using them shares), in megabytes.
double privateMemoryMegabytes();
// Starts the peak anew, so the figure leaves out the bench's own preparations.
void resetPeakMemory();

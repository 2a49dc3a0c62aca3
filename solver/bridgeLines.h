#pragma once
// The printed lines of the solver bridge.
#include <cstdio>

namespace CaDiCaL { class Solver; }

extern const char* const kRule;
extern const char* const kBlankBoxLine;
// Verbosity of the current solve: the interrupt handler prints statistics above 0.
void printBanner();
void printStatisticsHead();
void printCount(const char* label, long long n);
void printTime(const char* label, double ms);
void printStats(double t0, CaDiCaL::Solver& s);
const char* statusLine(int verdict);
// One verdict word into the result file, when there is one.
void writeWord(FILE* result, int verdict);

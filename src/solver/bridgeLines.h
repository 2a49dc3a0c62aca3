#pragma once
// The printed lines of the solver bridge.
#include <cstdio>

#include "solver/Verdict.h"

namespace CaDiCaL { class Solver; }

extern const char* const kRule;
extern const char* const kBlankBoxLine;
void printBanner();
void printStatisticsHead();
void printCount(const char* label, long long n);
void printTime(const char* label, double ms);
void printStats(double t0, CaDiCaL::Solver& s);
const char* statusLine(Verdict verdict);
// One verdict word into the result file, when there is one.
void writeWord(FILE* result, Verdict verdict);

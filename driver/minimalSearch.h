#pragma once
#include <cstdio>

#include "clauseset/S5clauSet.h"

// Searches for the fewest worlds of a model: modes 1 (ascending), 2 (descending),
// 3 (halving) by repeated solves; mode 4 through the external MaxSAT solver.
// Returns the exit status of the run.
int runMinimalSearch(S5clauSet& cs, int mode, FILE* result, double start, const char* argv0);

#pragma once
#include <cstdio>

#include "clauseset/S5clauSet.h"
#include "cli/Run.h"

// Decides the formula of `cs` (its world bound set), then searches below the
// worlds its model needs for the fewest worlds of any model, in the order of
// run.options.minimal: by repeated solves on one solver, or through the
// external MaxSAT solver. Returns the exit status of the run.
int runMinimalSearch(S5clauSet& cs, const Run& run);

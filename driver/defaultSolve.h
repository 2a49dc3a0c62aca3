#pragma once
#include <cstdio>

#include "clauseset/S5clauSet.h"
#include "driver/S5Options.h"
#include "frontend/AtomNames.h"

// One encoding, the optional S5-NF and CNF files, one solve, the optional model
// (atoms shown by their names in `names`).
// `result` may be null; it is closed here only after a model was written into it.
void runDefaultSolve(S5clauSet& cs, const S5Options& opt, FILE* result, double start, double t1,
                     const AtomNames& names);

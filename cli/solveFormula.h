#pragma once
#include "clauseset/S5clauSet.h"
#include "cli/Run.h"

// Decides the formula of `cs` (its world bound set): on the lazy witness-world
// path, or with -one-shot, -satcnf or -no-result on one solve over every world
// of the bound, whose CNF is the one written. Writes the optional S5-NF and CNF
// files, the solver lines, the verdict and the optional model.
void solveFormula(S5clauSet& cs, Run& run);

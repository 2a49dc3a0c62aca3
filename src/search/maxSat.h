#pragma once
// Fewest worlds through an external MaxSAT solver: the selector encoding as
// a weighted partial MaxSAT instance, the solver run on it as a child
// process, its answer read back.
#include <string>

#include "clauseset/S5clauSet.h"
#include "solver/Verdict.h"

struct MaxSatAnswer {
  Verdict verdict = Verdict::Indeterminate;  // Sat: an optimum of cost `cost`
  long cost = 0;
  double extraMs = 0.0;    // the solver's own CPU time, from its "c time:" line
  std::string otherLines;  // what else it printed, as printed
  std::string failure;     // when Indeterminate: why, as one line of text
  bool scriptRan = false;  // the solver was started and has ended
};

// Where the instance goes: a file of the run's own, created exclusively
// (with a unique name) in `directory`, so runs sharing a directory never
// read each other's instance. Once the solver has answered the file is
// renamed to `keepAs` in one step, or removed when `keepAs` is empty.
struct InstanceFile {
  std::string directory;
  std::string keepAs;
};

// require: the world bound ran on `cs`, worlds >= 1. Writes the instance over
// `worlds` worlds, runs `script` (a program path, empty when none was found)
// on it and reads its lines: "UNSATISFIABLE", "OPTIMUM FOUND" then a cost
// line holding the letter o, "c time: <cpu seconds>".
MaxSatAnswer runMaxSat(S5clauSet& cs, int worlds, const std::string& script, const InstanceFile& file);

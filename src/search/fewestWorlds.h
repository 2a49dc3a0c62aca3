#pragma once
// The fewest worlds of any model of a clause set, by repeated solves on one
// selector encoding.
#include <functional>
#include <vector>

#include "clauseset/S5clauSet.h"
#include "solver/SatSolver.h"

enum class WorldOrder { Ascending, Descending, Halving };

// A model and the worlds it needs: `worlds` of them, listed in `model`
// (per world its signed atoms, world 0 first).
struct WorldCount {
  Verdict verdict = Verdict::Indeterminate;  // Sat: `worlds` and `model` hold
  int worlds = 0;
  std::vector<std::vector<int>> model;
};

// Sees the verdict of every solve, in order (the command line writes a word
// into the result file for each).
using SolveObserver = std::function<void(Verdict)>;

// require: the world bound ran on `cs`. Decides `cs` on the lazy path.
// ensure: when Sat, the model cut down to the worlds it really needs.
WorldCount decideCounting(const S5clauSet& cs, const SolveObserver& eachSolve, SolveControl& control);

// require: `first` is a Sat answer of decideCounting on `cs`. Searches below
// first.worlds in the given order. ensure: Sat with the fewest worlds of any
// model and a model of exactly that many, or Indeterminate once a solve is
// stopped by the control.
WorldCount searchFewestWorlds(S5clauSet& cs, WorldCount first, WorldOrder order, const SolveObserver& eachSolve,
                              SolveControl& control);

// require: `cs` has a model with `worlds` worlds. One of them, cut down to
// the worlds it needs (at most `worlds`); Indeterminate when stopped.
WorldCount modelWithin(S5clauSet& cs, int worlds, SolveControl& control);

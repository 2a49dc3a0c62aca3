#pragma once
// The lazy witness-world loop on one incremental solver.
#include <functional>
#include <vector>

#include "clauseset/S5clauSet.h"
#include "encoding/LazyWorlds.h"
#include "solver/SatSolver.h"

// The encoder's clauses go straight into the solver, which answers model queries.
class SolverLink : public ClauseSink, public ModelView {
 public:
  explicit SolverLink(SatSolver& sat) : sat(sat) {}
  void add(const std::vector<int>& lits) override { sat.add(lits); }
  void preferFalse(int var) override { sat.preferFalse(var); }
  bool isTrue(int lit) override { return sat.isTrue(lit); }

 private:
  SatSolver& sat;
};

struct LazyOutcome {
  Verdict verdict = Verdict::Indeterminate;
  int rounds = 0;
  int activeWorlds = 0;
  std::vector<std::vector<int>> model;  // when Sat: the active worlds, renumbered from 0
};

// require: the world bound ran on `cs`; `sat` is fresh, built with gate hints.
// Solves with world 0 and the forced witness worlds, then adds the witness
// worlds each model needs until a model needs none. Every round relaxes the
// encoding over all worlds, so its refutation refutes the formula.
// `firstRound` runs once the first round's clauses are in the solver.
// `boxClauses`, `witnesses`: see LazyWorlds.
LazyOutcome solveLazily(const S5clauSet& cs, SatSolver& sat, const std::function<void()>& firstRound,
                        BoxClauses boxClauses = BoxClauses::BySize, WitnessChoice witnesses = WitnessChoice::ByBound);

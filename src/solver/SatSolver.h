#pragma once
// The one bridge to the SAT library: one CaDiCaL instance kept across solves.
// Clauses are added between solves, nothing is reloaded; assumptions hold for
// one solve. Silent: the command line prints its solver lines from what
// times() and library() tell.
#include <memory>
#include <vector>

#include "solver/ClauseList.h"
#include "solver/Verdict.h"

namespace CaDiCaL { class Solver; }

// Whether the library prints its own lines while it loads and searches.
enum class SolverLines { Silent, Printed };
// Whether preferFalse() will be used: the library's lucky first
// assignments, which ignore preferred phases, are then off.
enum class GateHints { Off, On };

// Who may stop a solve, and who hears when a search starts and ends (the
// command line switches its signal handling there). The library's own
// solvers poll their interrupt flag and time limit in shouldStop.
class SolveControl {
 public:
  virtual ~SolveControl() = default;
  // Polled from the solving thread during a search: true stops it.
  virtual bool shouldStop() { return false; }
  virtual void attached(CaDiCaL::Solver&) {}  // once the instance exists
  virtual void searchStarts() {}
  virtual void searchEnds() {}
  virtual void detached() {}  // before the instance goes
};

// The times of one instance, in CPU ms, and its clause count.
struct SolveTimes {
  double created = 0, loadMs = 0, simplifyMs = 0;
  long long added = 0;
  bool refutedBySimplify = false;
};

class SatSolver {
 public:
  // require: `control` outlives the instance.
  SatSolver(SolveControl& control, SolverLines lines = SolverLines::Silent, GateHints hints = GateHints::Off);
  ~SatSolver();
  SatSolver(const SatSolver&) = delete;
  SatSolver& operator=(const SatSolver&) = delete;

  // One clause, literals only (no closing 0).
  void add(const std::vector<int>& lits);
  // Every clause of `clauses`, which is emptied.
  void addAll(ClauseList& clauses);
  // Keeps var out of elimination: it will be assumed, read or given clauses
  // later.
  void freeze(int var);
  // require: constructed with GateHints::On.
  // Frozen, and the search tries it false first: a gate the model should
  // make true only when it must. A hint, dropped for good once a solve
  // spends 1000 conflicts without an answer.
  void preferFalse(int var);
  // Searches the clauses added so far, with the literals of `assumptions`
  // true for this solve only. The first solve first simplifies by root-level
  // propagation; the library's bounded inprocessing runs inside the search.
  // Stopped by the control, or past `conflicts` when that is not negative:
  // Indeterminate; stopped() tells which.
  Verdict solve(const std::vector<int>& assumptions = {}, int conflicts = -1);
  // Whether the control stopped the last solve.
  bool stopped() const;
  // require: the last solve answered Sat.
  bool isTrue(int lit);
  // require: the last solve answered Unsat. Whether assumption `lit` was
  // used to refute it.
  bool isFailed(int lit);

  SolveTimes times() const { return t; }
  // The library instance, for its statistics.
  CaDiCaL::Solver& library() { return *s; }

 private:
  class StopLink;

  int search(const std::vector<int>& assumptions, int conflicts);

  SolveControl& control;
  std::unique_ptr<CaDiCaL::Solver> s;
  std::unique_ptr<StopLink> stopLink;
  std::vector<int> preferredFalse;  // emptied when the hints are dropped
  SolveTimes t;
  double loadingSince = 0;
  bool simplified = false;
};

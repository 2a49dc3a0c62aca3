#pragma once
// The one bridge to the SAT library: one CaDiCaL instance kept across solves.
// Clauses are added between solves, nothing is reloaded; assumptions hold for
// one solve. Silent until report(), which prints the solver lines of a run
// once, for the deciding solve.
#include <cstdio>
#include <memory>
#include <vector>

#include "solver/ClauseList.h"
#include "solver/Verdict.h"

namespace CaDiCaL { class Solver; }

// Whether the library prints its own lines (report() prints in both cases,
// and an interrupt while loading prints the statistics only when Printed).
enum class SolverLines { Silent, Printed };
// Whether preferFalse() will be used: the library's lucky first
// assignments, which ignore preferred phases, are then off.
enum class GateHints { Off, On };

class SatSolver {
 public:
  // ensure: SIGINT and SIGXCPU end the process (printing the statistics
  // when Printed) until the first solve, and between solves; during a solve
  // they stop it; once the instance is destroyed they have default handling.
  explicit SatSolver(SolverLines lines = SolverLines::Printed, GateHints hints = GateHints::Off);
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
  // An interrupt during the search makes it Indeterminate.
  Verdict solve(const std::vector<int>& assumptions = {});
  // require: the last solve answered Sat.
  bool isTrue(int lit);
  // Prints the banner and the head of the statistics box now: the library's
  // own loading messages then fall inside the box, as the one-shot run has
  // them. report() does not print them again.
  void announce();
  // Prints the banner (unless announced), the statistics box, the library statistics, `note`
  // (a whole "c ..." line, may be null), the status line; writes the verdict
  // word to `result` when not null.
  void report(Verdict verdict, const char* note, FILE* result);
  // The out-of-memory lines of the bridge; returns 0.
  static int outOfMemory();

 private:
  void loading();    // an interrupt ends the process
  void searching();  // an interrupt stops the search: indeterminate

  int search(const std::vector<int>& assumptions);

  std::unique_ptr<CaDiCaL::Solver> s;
  std::vector<int> preferredFalse;  // emptied when the hints are dropped
  double created = 0, loadingSince = 0, loadMs = 0, simplifyMs = 0;
  long long added = 0;
  bool simplified = false, refutedBySimplify = false, announced = false;
};

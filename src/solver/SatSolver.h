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

// What stops a solve in a program that embeds the engine: polled by the
// library during the search, from the solving thread.
class Stopper {
 public:
  virtual ~Stopper() = default;
  virtual bool shouldStop() = 0;
};

class SatSolver {
 public:
  // Without a stopper (the command line): SIGINT and SIGXCPU end the process
  // (printing the statistics when Printed) until the first solve, and
  // between solves; during a solve they stop it; once the instance is
  // destroyed they have default handling. With one (the library): no signal
  // is touched and no global state is used, so instances in different
  // threads are independent; a solve stops when the stopper says so.
  // require: `stopper` outlives the instance.
  explicit SatSolver(SolverLines lines = SolverLines::Printed, GateHints hints = GateHints::Off,
                     Stopper* stopper = nullptr);
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
  // require: the last solve answered Unsat. Whether assumption `lit` was
  // used to refute it.
  bool isFailed(int lit);
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
  bool wasStopped() const;

  class StopLink;

  std::unique_ptr<CaDiCaL::Solver> s;
  std::unique_ptr<StopLink> stopLink;  // null on the command line
  std::vector<int> preferredFalse;  // emptied when the hints are dropped
  double created = 0, loadingSince = 0, loadMs = 0, simplifyMs = 0;
  long long added = 0;
  bool simplified = false, refutedBySimplify = false, announced = false;
};

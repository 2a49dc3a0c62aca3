#pragma once
// One solver instance kept across rounds: clauses are added between solves,
// nothing is reloaded. Silent until report(), which prints the lines of the
// one-shot solve once, for the deciding solve. Result codes: 10 satisfiable, 20 unsatisfiable, 0 indeterminate.
#include <cstdio>
#include <memory>
#include <vector>

class SolveScope;

class IncrementalSolver {
 public:
  // ensure: `solver` points at the new instance until destruction.
  // Verbosity 0: the library prints nothing (report() still prints).
  explicit IncrementalSolver(int verbosity = 1);
  ~IncrementalSolver();

  // One clause, literals only (no closing 0). Interrupts end the process.
  void add(const std::vector<int>& lits);
  // The search tries var false first (a gate the solver should use only when it must).
  void preferFalse(int var);
  // Keeps var out of elimination: it will be assumed or given clauses later.
  void freeze(int var);
  // Searches the clauses added so far, with the literals of `assumptions`
  // true for this solve only. An interrupt during the search makes it 0.
  int solve(const std::vector<int>& assumptions = {});
  // require: the last solve returned 10.
  bool isTrue(int lit);
  // require: the last solve returned 10. v or -v for every variable 1..vars.
  std::vector<int> model(int vars);
  // Prints the banner, the statistics box, the library statistics, `note`
  // (a whole "c ..." line, may be null), the status line; writes the verdict
  // word to `result` when not null.
  void report(int verdict, const char* note, FILE* result);
  // The out-of-memory lines of the bridge; returns 0.
  static int outOfMemory();

 private:
  std::unique_ptr<SolveScope> scope;
  double created = 0, loadingSince = 0, loadMs = 0, simplifyMs = 0;
  long long added = 0;
  bool simplified = false, refutedBySimplify = false;
};

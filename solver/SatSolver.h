#pragma once
// The SAT solver bridge: loads a clause list into CaDiCaL, solves it once,
// reports the verdict. Result codes: 10 satisfiable, 20 unsatisfiable, 0 indeterminate.
#include <cstdio>
#include <vector>

#include "solver/ClauseList.h"

namespace CaDiCaL { class Solver; }

// The solver the signal handlers act on; null outside a solve.
extern CaDiCaL::Solver* solver;

void SIGINT_interrupt(int);
void SIGINT_exit(int);

class SatSolver {
 public:
  std::vector<int> satModel;  // v or -v for every variable 1..max, after result 10

  // Both take the clauses by value and free them once the library holds them:
  // callers move their list in when they need it no more.
  // Verbose solve: banner, problem statistics, library statistics, status line.
  // Writes one verdict word to `result` when it is not null; never closes it.
  // ensure: `solver` is null and SIGINT/SIGXCPU have default handling on return.
  int Solve(ClauseList clauses, FILE* result);
  // Silent solve for the minimal-model search; no word when loading/simplify refutes.
  int Solve1(ClauseList clauses, FILE* result);
};

#pragma once
// The printed lines of the solver bridge, and the command line's handling
// of SIGINT and SIGXCPU around the solver.
#include <cstdio>

#include "solver/SatSolver.h"
#include "solver/Verdict.h"

extern const char* const kRule;
extern const char* const kBlankBoxLine;
const char* statusLine(Verdict verdict);
// One verdict word into the result file, when there is one.
void writeWord(FILE* result, Verdict verdict);

// While an instance loads, SIGINT and SIGXCPU end the process (printing the
// statistics when its lines are Printed); during a search they stop it;
// once the instance is gone they have default handling.
class SignalControl : public SolveControl {
 public:
  explicit SignalControl(SolverLines lines = SolverLines::Silent) : lines(lines) {}
  bool shouldStop() override;
  void attached(CaDiCaL::Solver& s) override;
  void searchStarts() override;
  void searchEnds() override;
  void detached() override;

 private:
  SolverLines lines;
};

// The banner and the head of the statistics box, printed before the clauses
// are loaded so that the library's loading messages fall inside the box.
void announceSolver();
// The statistics box (banner first unless announced), the library
// statistics, `note` (a whole "c ..." line, may be null), the status line;
// the verdict word into `result` when not null.
void reportSolver(SatSolver& sat, bool announced, Verdict verdict, const char* note, FILE* result);
// The out-of-memory line of the bridge.
void reportSolverOutOfMemory();

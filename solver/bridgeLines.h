#pragma once
// What the solve paths of the bridge share: the scope of one solver instance
// with its signal handling, and the printed lines.
#include <cstdio>

namespace CaDiCaL { class Solver; }

extern const char* const kRule;
extern const char* const kBlankBoxLine;
// Verbosity of the current solve: the interrupt handler prints statistics above 0.
extern int solverVerbosity;

// Points `solver` at a new instance for its lifetime; loading is interrupted by
// SIGINT_exit until searching() is called. On every exit the handlers return
// to default and `solver` is cleared before the instance is destroyed, so a
// late interrupt never reaches a destroyed solver.
class SolveScope {
 public:
  explicit SolveScope(int verbosity);
  ~SolveScope();
  SolveScope(const SolveScope&) = delete;
  SolveScope& operator=(const SolveScope&) = delete;
  CaDiCaL::Solver& get() { return *s; }
  void loading();    // an interrupt ends the process
  void searching();  // an interrupt stops the search: indeterminate

 private:
  CaDiCaL::Solver* s;
};

void printBanner();
void printStatisticsHead();
void printCount(const char* label, long long n);
void printTime(const char* label, double ms);
void printStats(double t0, CaDiCaL::Solver& s);
const char* statusLine(int verdict);
// One verdict word into the result file, when there is one.
void writeWord(FILE* result, int verdict);
// An instance that ran out of memory proves nothing; returns result code 0.
int outOfMemory();

#include "solver/SatSolver.h"

#include <unistd.h>

#include <algorithm>
#include <cadical.hpp>
#include <cstdlib>
#include <new>

#include "solver/bridgeLines.h"
#include "solver/cpuTime.h"

CaDiCaL::Solver* solver = nullptr;

namespace {

// Loads every clause; returns the largest variable.
int parse_DIMACS_main(const ClauseList& clauses, CaDiCaL::Solver& s) {
  int largest = 0;
  clauses.forEach([&](const int* first, const int* last) {
    for (const int* p = first; p != last; p++) {
      largest = std::max(largest, std::abs(*p));
      s.add(*p);
    }
    s.add(0);
  });
  return largest;
}

void fillModel(CaDiCaL::Solver& s, int maxVar, std::vector<int>& model) {
  for (int v = 1; v <= maxVar; v++) model.push_back(s.val(v) > 0 ? v : -v);
}

}  // namespace

void SIGINT_interrupt(int) {
  if (solver != nullptr) solver->terminate();
}

void SIGINT_exit(int) {
  std::printf("\n*** INTERRUPTED ***\n");
  if (solverVerbosity > 0 && solver != nullptr) {
    printStats(0, *solver);
    std::printf("\n*** INTERRUPTED ***\n");
  }
  std::fflush(stdout);
  _exit(1);
}

int SatSolver::Solve(ClauseList clauses, FILE* result) {
  printBanner();
  try {
    SolveScope scope(1);
    CaDiCaL::Solver& s = scope.get();
    double t0 = cpuTime();
    printStatisticsHead();
    int maxVar = parse_DIMACS_main(clauses, s);
    printCount("Number of SAT variables:               ", maxVar);
    printCount("Number of original SAT clauses:        ", static_cast<long long>(clauses.size()));
    clauses.clear();
    printCount("Number of SAT clauses after simplified:", s.irredundant());
    double t1 = cpuTime();
    printTime("Parse time:           ", t1 - t0);
    std::fputs(kBlankBoxLine, stdout);
    scope.searching();
    std::printf("c | Preprocesing is fully done\n");
    std::fflush(stdout);
    // Only root-level propagation: full preprocessing rounds have no effort
    // limit in the library, and its bounded inprocessing runs inside solve().
    int simplified = s.simplify(0);
    printTime("Simplification time:  ", cpuTime() - t1);
    std::fputs(kBlankBoxLine, stdout);
    if (simplified == 20) {
      writeWord(result, 20);
      std::printf("%sSolved by simplification\n", kRule);
      printStats(t0, s);
      std::printf("\ns UNSATISFIABLE\n");
      return 20;
    }
    std::fflush(stdout);
    int verdict = s.solve();
    printStats(t0, s);
    std::printf("\n%s\n", statusLine(verdict));
    writeWord(result, verdict);
    if (verdict == 10) fillModel(s, maxVar, satModel);
    return verdict;
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  }
}

int SatSolver::Solve1(ClauseList clauses, FILE* result) {
  try {
    SolveScope scope(0);
    CaDiCaL::Solver& s = scope.get();
    s.set("quiet", 1);
    int maxVar = parse_DIMACS_main(clauses, s);
    clauses.clear();
    scope.searching();
    if (s.simplify(0) == 20) return 20;
    int verdict = s.solve();
    writeWord(result, verdict);
    if (verdict == 10) fillModel(s, maxVar, satModel);
    return verdict;
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  }
}

#include "solver/glucose_40.h"

#include <unistd.h>

#include <algorithm>
#include <cadical.hpp>
#include <csignal>
#include <cstdlib>
#include <new>

#include "solver/cpuTime.h"

CaDiCaL::Solver* solver = nullptr;

namespace {

int verbosity = 0;
const char* const kRule = "c =========================================================================================================\n";
const char* const kBlankBoxLine =
    "c |                                                                                                       |\n";

void installHandler(void (*handler)(int)) {
  std::signal(SIGINT, handler);
  std::signal(SIGXCPU, handler);
}

// Clears the solver pointer and restores default signal handling on every
// exit from a solve, so a late interrupt never reaches a destroyed solver.
struct SolveScope {
  CaDiCaL::Solver* s;
  explicit SolveScope(CaDiCaL::Solver* created, int verb) : s(created) {
    verbosity = verb;
    solver = s;
    installHandler(SIGINT_exit);
  }
  ~SolveScope() {
    installHandler(SIG_DFL);
    solver = nullptr;
    delete s;
  }
};

int largestVariable(const std::vector<std::vector<int>>& clauses) {
  int m = 0;
  for (const auto& c : clauses)
    for (size_t i = 0; i + 1 < c.size(); i++) m = std::max(m, std::abs(c[i]));
  return m;
}

// Loads every clause but its closing 0; returns the number of clauses loaded.
size_t parse_DIMACS_main(const std::vector<std::vector<int>>& clauses, CaDiCaL::Solver& s) {
  for (const auto& c : clauses) {
    for (size_t i = 0; i + 1 < c.size(); i++) s.add(c[i]);
    s.add(0);
  }
  return clauses.size();
}

void printStats(double t0, CaDiCaL::Solver& s) {
  std::fflush(stdout);
  s.statistics();
  std::fflush(stdout);
  std::printf("c SAT-Solver time       : %g ms\n", cpuTime() - t0);
}

void printCount(const char* label, long long n) { std::printf("c |  %s%12lld%50s|\n", label, n, ""); }

void printTime(const char* label, double ms) { std::printf("c |  %s%12.2f ms%65s|\n", label, ms, ""); }

void writeWord(FILE* result, int verdict) {
  if (result == nullptr) return;
  std::fputs(verdict == 10 ? "SAT\n" : verdict == 20 ? "UNSAT\n" : "INDET\n", result);
}

void fillModel(CaDiCaL::Solver& s, int maxVar, std::vector<int>& model) {
  for (int v = 1; v <= maxVar; v++) model.push_back(s.val(v) > 0 ? v : -v);
}

int outOfMemory() {
  std::printf("%sINDETERMINATE\n", kRule);
  return 0;
}

}  // namespace

void SIGINT_interrupt(int) {
  if (solver != nullptr) solver->terminate();
}

void SIGINT_exit(int) {
  std::printf("\n*** INTERRUPTED ***\n");
  if (verbosity > 0 && solver != nullptr) {
    printStats(0, *solver);
    std::printf("\n*** INTERRUPTED ***\n");
  }
  std::fflush(stdout);
  _exit(1);
}

int glucose_40::Solve(std::vector<std::vector<int>>& clauses, FILE* result) {
  std::printf("c The SAT-Solver CaDiCaL %s is running -- \nc\n", CaDiCaL::Solver::version());
  try {
    SolveScope scope(new CaDiCaL::Solver, 1);
    CaDiCaL::Solver& s = *scope.s;
    double t0 = cpuTime();
    std::printf("c ========================================[ Problem Statistics ]===========================================\n");
    std::fputs(kBlankBoxLine, stdout);
    size_t loaded = parse_DIMACS_main(clauses, s);
    int maxVar = largestVariable(clauses);
    printCount("Number of SAT variables:               ", maxVar);
    printCount("Number of original SAT clauses:        ", static_cast<long long>(loaded));
    printCount("Number of SAT clauses after simplified:", s.irredundant());
    double t1 = cpuTime();
    printTime("Parse time:           ", t1 - t0);
    std::fputs(kBlankBoxLine, stdout);
    installHandler(SIGINT_interrupt);
    std::printf("c | Preprocesing is fully done\n");
    std::fflush(stdout);
    int simplified = s.simplify();
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
    std::printf("\n%s\n", verdict == 10 ? "s SATISFIABLE" : verdict == 20 ? "s UNSATISFIABLE" : "s INDETERMINATE");
    writeWord(result, verdict);
    if (verdict == 10) fillModel(s, maxVar, satModel);
    return verdict;
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  }
}

int glucose_40::Solve1(std::vector<std::vector<int>>& clauses, FILE* result) {
  try {
    SolveScope scope(new CaDiCaL::Solver, 0);
    CaDiCaL::Solver& s = *scope.s;
    s.set("quiet", 1);
    parse_DIMACS_main(clauses, s);
    installHandler(SIGINT_interrupt);
    if (s.simplify() == 20) return 20;
    int verdict = s.solve();
    writeWord(result, verdict);
    if (verdict == 10) fillModel(s, largestVariable(clauses), satModel);
    return verdict;
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  }
}

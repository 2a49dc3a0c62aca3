#include "solver/IncrementalSolver.h"

#include <cadical.hpp>

#include "solver/bridgeLines.h"
#include "solver/cpuTime.h"

IncrementalSolver::IncrementalSolver(int verbosity) {
  scope = std::make_unique<SolveScope>(verbosity);
  if (verbosity == 0) scope->get().set("quiet", 1);
  // Lucky assignments ignore the preferred phases and would make every gate true.
  scope->get().set("lucky", 0);
  created = loadingSince = cpuTime();
}

IncrementalSolver::~IncrementalSolver() = default;

void IncrementalSolver::add(const std::vector<int>& lits) {
  CaDiCaL::Solver& s = scope->get();
  for (int l : lits) s.add(l);
  s.add(0);
  added++;
}

// Frozen, because a gate that occurs only positively would otherwise be
// eliminated as pure and come back true in every model.
void IncrementalSolver::preferFalse(int var) {
  scope->get().freeze(var);
  scope->get().phase(-var);
}

void IncrementalSolver::freeze(int var) { scope->get().freeze(var); }

int IncrementalSolver::solve(const std::vector<int>& assumptions) {
  CaDiCaL::Solver& s = scope->get();
  double t = cpuTime();
  loadMs += t - loadingSince;
  scope->searching();
  int verdict;
  if (!simplified) {
    // Root-level propagation only; the library's bounded inprocessing runs inside solve().
    simplified = true;
    refutedBySimplify = s.simplify(0) == 20;
    simplifyMs = cpuTime() - t;
  }
  for (int a : assumptions) s.assume(a);
  verdict = refutedBySimplify ? 20 : s.solve();
  scope->loading();
  loadingSince = cpuTime();
  return verdict;
}

bool IncrementalSolver::isTrue(int lit) { return scope->get().val(lit) > 0; }

std::vector<int> IncrementalSolver::model(int vars) {
  std::vector<int> m;
  m.reserve(static_cast<size_t>(vars));
  for (int v = 1; v <= vars; v++) m.push_back(isTrue(v) ? v : -v);
  return m;
}

void IncrementalSolver::report(int verdict, const char* note, FILE* result) {
  CaDiCaL::Solver& s = scope->get();
  printBanner();
  printStatisticsHead();
  printCount("Number of SAT variables:               ", s.vars());
  printCount("Number of original SAT clauses:        ", added);
  printCount("Number of SAT clauses after simplified:", s.irredundant());
  printTime("Parse time:           ", loadMs);
  std::fputs(kBlankBoxLine, stdout);
  std::printf("c | Preprocesing is fully done\n");
  printTime("Simplification time:  ", simplifyMs);
  std::fputs(kBlankBoxLine, stdout);
  if (refutedBySimplify) std::printf("%sSolved by simplification\n", kRule);
  printStats(created, s);
  if (note != nullptr) std::puts(note);
  std::printf("\n%s\n", statusLine(verdict));
  writeWord(result, verdict);
}

int IncrementalSolver::outOfMemory() { return ::outOfMemory(); }

#include "cli/solverLines.h"

#include <unistd.h>

#include <cadical.hpp>
#include <csignal>

#include "solver/cpuTime.h"

const char* const kRule =
    "c =========================================================================================================\n";
const char* const kBlankBoxLine =
    "c |                                                                                                       |\n";

namespace {

void printBanner() {
  std::printf("c The SAT-Solver CaDiCaL %s is running -- \nc\n", CaDiCaL::Solver::version());
}

void printStatisticsHead() {
  std::printf("c ========================================[ Problem Statistics ]===========================================\n");
  std::fputs(kBlankBoxLine, stdout);
}

void printCount(const char* label, long long n) { std::printf("c |  %s%12lld%50s|\n", label, n, ""); }

void printTime(const char* label, double ms) { std::printf("c |  %s%12.2f ms%65s|\n", label, ms, ""); }

void printStats(double t0, CaDiCaL::Solver& s) {
  std::fflush(stdout);
  s.statistics();
  std::fflush(stdout);
  std::printf("c SAT-Solver time       : %g ms\n", cpuTime() - t0);
}

}  // namespace

const char* statusLine(Verdict verdict) {
  switch (verdict) {
    case Verdict::Sat: return "s SATISFIABLE";
    case Verdict::Unsat: return "s UNSATISFIABLE";
    case Verdict::Indeterminate: break;
  }
  return "s INDETERMINATE";
}

void writeWord(FILE* result, Verdict verdict) {
  if (result == nullptr) return;
  std::fputs(verdict == Verdict::Sat ? "SAT\n" : verdict == Verdict::Unsat ? "UNSAT\n" : "INDET\n", result);
}

namespace {

// The signal handlers need the instance they act on, and a handler takes no
// argument: the live instance, null when there is none. Only SignalControl
// sets it.
CaDiCaL::Solver* solver = nullptr;
// Set by an interrupt during a search; the search polls it and stops.
volatile std::sig_atomic_t interrupted = 0;
// Its lines: the loading handler prints statistics when Printed.
SolverLines solverLines = SolverLines::Silent;

void SIGINT_interrupt(int) { interrupted = 1; }

// _exit: an interrupted load leaves nothing worth the exit handlers.
void SIGINT_exit(int) {
  std::printf("\n*** INTERRUPTED ***\n");
  if (solverLines == SolverLines::Printed && solver != nullptr) {
    printStats(0, *solver);
    std::printf("\n*** INTERRUPTED ***\n");
  }
  std::fflush(stdout);
  _exit(1);
}

void installHandler(void (*handler)(int)) {
  std::signal(SIGINT, handler);
  std::signal(SIGXCPU, handler);
}

}  // namespace

bool SignalControl::shouldStop() { return interrupted != 0; }

void SignalControl::attached(CaDiCaL::Solver& s) {
  solver = &s;
  solverLines = lines;
  installHandler(SIGINT_exit);
}

void SignalControl::searchStarts() { installHandler(SIGINT_interrupt); }

void SignalControl::searchEnds() { installHandler(SIGINT_exit); }

// The handlers lose the instance before it goes, so a late interrupt never
// reaches a destroyed solver.
void SignalControl::detached() {
  installHandler(SIG_DFL);
  solver = nullptr;
}

void announceSolver() {
  printBanner();
  printStatisticsHead();
  std::fflush(stdout);
}

void reportSolver(SatSolver& sat, bool announced, Verdict verdict, const char* note, FILE* result) {
  if (!announced) announceSolver();
  SolveTimes t = sat.times();
  printCount("Number of SAT variables:               ", sat.library().vars());
  printCount("Number of original SAT clauses:        ", t.added);
  printCount("Number of SAT clauses after simplified:", sat.library().irredundant());
  printTime("Parse time:           ", t.loadMs);
  std::fputs(kBlankBoxLine, stdout);
  std::printf("c | Preprocesing is fully done\n");
  printTime("Simplification time:  ", t.simplifyMs);
  std::fputs(kBlankBoxLine, stdout);
  if (t.refutedBySimplify) std::printf("%sSolved by simplification\n", kRule);
  printStats(t.created, sat.library());
  if (note != nullptr) std::puts(note);
  std::printf("\n%s\n", statusLine(verdict));
  writeWord(result, verdict);
}

void reportSolverOutOfMemory() { std::printf("%sINDETERMINATE\n", kRule); }

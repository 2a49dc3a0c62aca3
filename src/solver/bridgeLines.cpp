#include "solver/bridgeLines.h"

#include <cadical.hpp>

#include "solver/cpuTime.h"

const char* const kRule =
    "c =========================================================================================================\n";
const char* const kBlankBoxLine =
    "c |                                                                                                       |\n";

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

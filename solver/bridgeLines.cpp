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

const char* statusLine(int verdict) {
  return verdict == 10 ? "s SATISFIABLE" : verdict == 20 ? "s UNSATISFIABLE" : "s INDETERMINATE";
}

void writeWord(FILE* result, int verdict) {
  if (result == nullptr) return;
  std::fputs(verdict == 10 ? "SAT\n" : verdict == 20 ? "UNSAT\n" : "INDET\n", result);
}

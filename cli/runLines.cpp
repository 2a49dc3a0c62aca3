#include "cli/runLines.h"

#include "solver/cpuTime.h"

void printTimeLine(const char* label, double ms, int trailingBlanks) {
  std::printf("c %s           %12.2f%*s\n", label, ms, trailingBlanks, "");
  // Stage times are progress: they must reach a watching user or a killed run's log.
  std::fflush(stdout);
}

void printAtomNames(const AtomNames& names) {
  for (size_t i = 0; i < names.renamed.size(); i++)
    std::printf("c atom %s is %d\n", names.renamed[i].c_str(), names.first + static_cast<int>(i));
  std::fflush(stdout);
}

void printTotalTime(double startMs, int trailingBlanks) {
  printTimeLine("Total_time(ms):", cpuTime() - startMs, trailingBlanks);
}

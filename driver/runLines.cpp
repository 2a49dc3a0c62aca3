#include "driver/runLines.h"

#include "solver/cpuTime.h"

void printTimeLine(const char* label, double ms, int trailingBlanks) {
  std::printf("c %s           %12.2f%*s\n", label, ms, trailingBlanks, "");
}

void printTotalTime(double startMs, int trailingBlanks) {
  printTimeLine("Total_time(ms):", cpuTime() - startMs, trailingBlanks);
}

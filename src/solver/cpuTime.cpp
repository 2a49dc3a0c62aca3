#include "solver/cpuTime.h"

#include <sys/resource.h>

double cpuTime() {
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return static_cast<double>(ru.ru_utime.tv_sec) * 1000 + static_cast<double>(ru.ru_utime.tv_usec) / 1000;
}

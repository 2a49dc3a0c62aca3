#include "cli/minimalSearch.h"

#include <unistd.h>

#include <climits>
#include <string>

#include "cli/runLines.h"
#include "search/fewestWorlds.h"
#include "search/maxSat.h"
#include "cli/solverLines.h"
#include "solver/cpuTime.h"

namespace {

int reportMinimum(int k, double start) {
  std::printf("s SATISFIABLE \n");
  std::printf("c Minimal model: %d \n", k);
  printTotalTime(start);
  return 0;
}

int reportStatus(const char* status, double start) {
  std::printf("%s\n", status);
  printTotalTime(start);
  return 0;
}

// An interrupted or out-of-memory solve proves nothing: the search ends there.
int reportIndeterminate(double start) { return reportStatus("s INDETERMINATE ", start); }

bool isExecutable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

// "./starexec_run_A" in the current directory, else the copy beside the executable.
std::string findMaxSatSolver(const char* argv0) {
  if (isExecutable("./starexec_run_A")) return "./starexec_run_A";
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string exe = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(argv0);
  size_t slash = exe.rfind('/');
  std::string beside = (slash == std::string::npos ? std::string(".") : exe.substr(0, slash)) + "/starexec_run_A";
  return isExecutable(beside) ? beside : std::string();
}

int reportMaxSatFailure(const std::string& what) {
  std::printf("c %s\n", what.c_str());
  std::printf("s UNKNOWN\n");
  std::fflush(stdout);
  return 1;
}

// The instance is written in the current directory under a name of the
// run's own and left there as maxsat.wcnf once the solver has answered:
// parallel runs in one directory each read their own, and the file left
// is always one run's complete instance.
int searchMaxSat(S5clauSet& cs, int worlds, const Run& run) {
  std::string cmd = findMaxSatSolver(run.programPath);
  std::fflush(stdout);
  MaxSatAnswer a = runMaxSat(cs, worlds, cmd, InstanceFile{".", "maxsat.wcnf"});
  std::fputs(a.otherLines.c_str(), stdout);
  if (a.scriptRan) std::printf(" \n");
  if (a.verdict == Verdict::Indeterminate) return reportMaxSatFailure(a.failure);
  if (a.verdict == Verdict::Unsat) {
    std::printf("s UNSATISFIABLE \n");
  } else {
    // The cost counts selected witness worlds; world 0 is always there.
    std::printf("s SATISFIABLE \n");
    std::printf("c Minimal model: %ld \n", a.cost + 1);
  }
  printTimeLine("Total_time(ms):", cpuTime() - run.start + a.extraMs);
  return 0;
}

WorldOrder orderOf(MinimalMode mode) {
  switch (mode) {
    case MinimalMode::Descending: return WorldOrder::Descending;
    case MinimalMode::Halving: return WorldOrder::Halving;
    default: return WorldOrder::Ascending;
  }
}

}  // namespace

int runMinimalSearch(S5clauSet& cs, const Run& run) {
  SolveObserver writeEach = [&](Verdict v) { writeWord(run.result(), v); };
  SignalControl control;
  WorldCount first = decideCounting(cs, writeEach, control);
  if (first.verdict == Verdict::Unsat) return reportStatus("s UNSATISFIABLE ", run.start);
  if (first.verdict == Verdict::Indeterminate) return reportIndeterminate(run.start);
  if (run.options.minimal == MinimalMode::MaxSat) return searchMaxSat(cs, first.worlds, run);
  WorldCount fewest = searchFewestWorlds(cs, std::move(first), orderOf(run.options.minimal), writeEach, control);
  if (fewest.verdict != Verdict::Sat) return reportIndeterminate(run.start);
  return reportMinimum(fewest.worlds, run.start);
}

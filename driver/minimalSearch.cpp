#include "driver/minimalSearch.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "driver/runLines.h"
#include "encoding/Trans2SAT.h"
#include "solver/cpuTime.h"
#include "solver/SatSolver.h"

namespace {

int solveWithWorlds(S5clauSet& cs, int k, FILE* result) {
  Trans2SAT enc;
  enc.TranS52SAT_b(cs, k);
  SatSolver sat;
  return sat.Solve1(std::move(enc.satClauses), result);
}

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

int searchAscending(S5clauSet& cs, FILE* result, double start) {
  for (int k = 1; k <= cs.worldN; k++) {
    int r = solveWithWorlds(cs, k, result);
    if (r == 10) return reportMinimum(k, start);
    if (r == 0) return reportIndeterminate(start);
  }
  return reportStatus("s UNSATISFIABLE ", start);
}

int searchDescending(S5clauSet& cs, FILE* result, double start) {
  for (int k = cs.worldN; k >= 1; k--) {
    int r = solveWithWorlds(cs, k, result);
    if (r == 0) return reportIndeterminate(start);
    if (r == 20) {
      if (k == cs.worldN) return reportStatus("s UNSATISFIABLE ", start);
      return reportMinimum(k + 1, start);
    }
  }
  return reportMinimum(1, start);
}

int searchHalving(S5clauSet& cs, FILE* result, double start) {
  int lo = 1, hi = cs.worldN + 1;
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    int r1 = solveWithWorlds(cs, mid, result);
    int r2 = mid > 1 ? solveWithWorlds(cs, mid - 1, result) : 20;
    if (r1 == 0 || r2 == 0) return reportIndeterminate(start);
    if (r1 == 10 && r2 == 20) return reportMinimum(mid, start);
    if (r1 == 20) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return reportStatus("s UNSATISFIABLE ", start);
}

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

std::string shellQuoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

int reportMaxSatFailure(const std::string& what) {
  std::printf("c %s\n", what.c_str());
  std::printf("s UNKNOWN\n");
  std::fflush(stdout);
  return 1;
}

struct MaxSatAnswer {
  int verdict = 0;  // 10 optimum, 20 unsatisfiable
  bool optimumSeen = false;
  bool haveCost = false;
  long cost = 0;
  double extraMs = 0.0;
};

// One line (or piece of a long line) of the external solver's output.
void readMaxSatLine(const char* line, MaxSatAnswer& a) {
  if (std::strstr(line, "UNSATISFIABLE") != nullptr) {
    a.verdict = 20;
  } else if (std::strstr(line, "OPTIMUM FOUND") != nullptr) {
    a.verdict = 10;
    a.optimumSeen = true;
  } else if (a.optimumSeen && std::strchr(line, 'o') != nullptr) {
    const char* text = std::strlen(line) >= 2 ? line + 2 : "";
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    a.haveCost = end != text && errno == 0 && v >= 0 && v < INT_MAX;
    a.cost = a.haveCost ? v : 0;
  } else if (std::strstr(line, "c time:") != nullptr) {
    a.extraMs = (std::strlen(line) >= 7 ? std::strtod(line + 7, nullptr) : 0.0) * 1000;
  } else {
    std::fputs(line, stdout);
  }
}

int searchMaxSat(S5clauSet& cs, double start, const char* argv0) {
  Trans2SAT enc;
  enc.TranS52P_MAX_SAT(cs);
  FILE* f = std::fopen("maxsat.wcnf", "wb");
  enc.printMAXSATclau(f != nullptr ? f : stderr);
  if (f != nullptr) std::fclose(f);

  std::string cmd = findMaxSatSolver(argv0);
  if (cmd.empty()) return reportMaxSatFailure("MaxSAT solver starexec_run_A not found");
  std::fflush(stdout);
  FILE* pipe = popen((shellQuoted(cmd) + " maxsat.wcnf").c_str(), "r");
  if (pipe == nullptr) return reportMaxSatFailure("MaxSAT solver " + cmd + " could not be started");
  MaxSatAnswer a;
  char buf[299];
  while (std::fgets(buf, sizeof buf, pipe) != nullptr) readMaxSatLine(buf, a);
  int status = pclose(pipe);
  std::printf(" \n");
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    int code = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return reportMaxSatFailure("MaxSAT solver " + cmd + " failed (exit status " + std::to_string(code) + ")");
  }
  if (a.verdict == 20) {
    std::printf("s UNSATISFIABLE \n");
  } else if (a.verdict == 10 && a.haveCost) {
    // The cost counts selected witness worlds; world 0 is always there.
    std::printf("s SATISFIABLE \n");
    std::printf("c Minimal model: %ld \n", a.cost + 1);
  } else {
    return reportMaxSatFailure("MaxSAT solver " + cmd + " gave no verdict");
  }
  printTimeLine("Total_time(ms):", cpuTime() - start + a.extraMs);
  return 0;
}

}  // namespace

int runMinimalSearch(S5clauSet& cs, int mode, FILE* result, double start, const char* argv0) {
  switch (mode) {
    case 2: return searchDescending(cs, result, start);
    case 3: return searchHalving(cs, result, start);
    case 4: return searchMaxSat(cs, start, argv0);
    default: return searchAscending(cs, result, start);
  }
}

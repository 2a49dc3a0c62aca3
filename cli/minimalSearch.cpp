#include "cli/minimalSearch.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "cli/lazySolve.h"
#include "cli/runLines.h"
#include "encoding/S5model.h"
#include "encoding/Trans2SAT.h"
#include "solver/SatSolver.h"
#include "solver/bridgeLines.h"
#include "solver/cpuTime.h"

namespace {

// The deciding solve of every mode, and when Sat the worlds its model really needs.
struct Decision {
  Verdict verdict = Verdict::Indeterminate;
  int worlds = 0;
};

Decision decide(const S5clauSet& cs, FILE* result) {
  SatSolver sat(SolverLines::Silent, GateHints::On);
  LazyOutcome out = solveLazily(cs, sat, [] {});
  writeWord(result, out.verdict);
  Decision d;
  d.verdict = out.verdict;
  if (out.verdict == Verdict::Sat) d.worlds = neededWorlds(cs, out.model);
  return d;
}

// One encoding over the decided number of worlds on one solver; a candidate
// count j switches the witness worlds j and above off by assumption, so every
// solve keeps what the ones before it learnt. Count 1, a question without
// witness worlds, gets a one-world encoding of its own: the worlds switched
// off still slow that search down (-minimal=1 on s4_ph_n.0020: 0.42 s in
// all, 0.02 s so). Ascending asks it first, the other orders last, so the
// two solvers never live at once.
class WorldCounts {
 public:
  WorldCounts(S5clauSet& cs, int worlds) : cs(cs), worlds(worlds) {}
  // Whether some model has at most j worlds; one word into the result file.
  Verdict solve(int j, FILE* result) {
    encodeFor(j == 1 ? 1 : worlds);
    assumptions.clear();
    for (int w = j; w < encoded; w++) assumptions.push_back(-w);
    Verdict r = sat->solve(assumptions);
    writeWord(result, r);
    return r;
  }
  // require: solve(j) answered Sat. The worlds its model really needs (<= j):
  // every count from there up to j has a model too and needs no solve.
  int neededBy(int j) {
    std::vector<int> rank(static_cast<size_t>(encoded), -1);
    for (int w = 0; w < j; w++) rank[static_cast<size_t>(w)] = w;
    return neededWorlds(cs, decodeWorlds(enc->atomWorldOf, rank, [&](int v) { return sat->isTrue(v); }));
  }

 private:
  void encodeFor(int k) {
    if (encoded == k) return;
    sat.reset();
    enc = std::make_unique<Trans2SAT>();
    enc->TranS52SAT_sel(cs, k);
    sat = std::make_unique<SatSolver>(SolverLines::Silent);
    for (int w = 1; w < k; w++) sat->freeze(w);
    sat->addAll(enc->satClauses);
    encoded = k;
  }

  S5clauSet& cs;
  int worlds;
  int encoded = 0;  // worlds of the encoding in `sat`
  std::unique_ptr<Trans2SAT> enc;
  std::unique_ptr<SatSolver> sat;
  std::vector<int> assumptions;
};

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

// The solve every search pays: whether one world fewer than `worlds` will do.
// Sat: `worlds` becomes what its model needs. Asked before the mode's own
// order: below the minimum each count can be a pigeon-hole question (pairwise
// clashing Diamonds), and with this one answered early the rest are often
// not needed (ascending on 32 clashing Diamonds: over 120 s without it).
Verdict askOneFewer(WorldCounts& counts, int& worlds, FILE* result) {
  Verdict r = counts.solve(worlds - 1, result);
  if (r == Verdict::Sat) worlds = counts.neededBy(worlds - 1);
  return r;
}

// The decided model has `worlds` worlds, so only fewer are searched. Count 1
// first, on its own encoding, then one fewer than the model's, then upwards.
int searchAscending(WorldCounts& counts, int worlds, FILE* result, double start) {
  for (int k = 1; k < worlds; k++) {
    Verdict r = counts.solve(k, result);
    if (r == Verdict::Sat) return reportMinimum(k, start);
    if (r == Verdict::Indeterminate) return reportIndeterminate(start);
    if (k == 1 && worlds > 3) {
      r = askOneFewer(counts, worlds, result);
      if (r == Verdict::Indeterminate) return reportIndeterminate(start);
      if (r == Verdict::Unsat) break;
    }
  }
  return reportMinimum(worlds, start);
}

// Each model found may need fewer worlds than it was allowed: the search
// goes on below what it needs.
int searchDescending(WorldCounts& counts, int worlds, FILE* result, double start) {
  int enough = worlds;
  while (enough > 1) {
    Verdict r = askOneFewer(counts, enough, result);
    if (r == Verdict::Indeterminate) return reportIndeterminate(start);
    if (r == Verdict::Unsat) break;
  }
  return reportMinimum(enough, start);
}

// lo worlds may be too few, hi are enough; one fewer than the model's first.
int searchHalving(WorldCounts& counts, int worlds, FILE* result, double start) {
  int lo = 1, hi = worlds;
  if (hi > 2) {
    Verdict r = askOneFewer(counts, hi, result);
    if (r == Verdict::Indeterminate) return reportIndeterminate(start);
    if (r == Verdict::Unsat) return reportMinimum(hi, start);
  }
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    Verdict r = counts.solve(mid, result);
    if (r == Verdict::Indeterminate) return reportIndeterminate(start);
    if (r == Verdict::Sat) {
      hi = counts.neededBy(mid);
    } else {
      lo = mid + 1;
    }
  }
  return reportMinimum(hi, start);
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
  Verdict verdict = Verdict::Indeterminate;  // Sat: an optimum
  bool optimumSeen = false;
  bool haveCost = false;
  long cost = 0;
  double extraMs = 0.0;
};

// One line (or piece of a long line) of the external solver's output.
void readMaxSatLine(const char* line, MaxSatAnswer& a) {
  if (std::strstr(line, "UNSATISFIABLE") != nullptr) {
    a.verdict = Verdict::Unsat;
  } else if (std::strstr(line, "OPTIMUM FOUND") != nullptr) {
    a.verdict = Verdict::Sat;
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

int searchMaxSat(S5clauSet& cs, int worlds, const Run& run) {
  Trans2SAT enc;
  enc.TranS52P_MAX_SAT(cs, worlds);
  FILE* f = std::fopen("maxsat.wcnf", "wb");
  enc.printMAXSATclau(f != nullptr ? f : stderr);
  if (f != nullptr) std::fclose(f);

  std::string cmd = findMaxSatSolver(run.programPath);
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
  if (a.verdict == Verdict::Unsat) {
    std::printf("s UNSATISFIABLE \n");
  } else if (a.verdict == Verdict::Sat && a.haveCost) {
    // The cost counts selected witness worlds; world 0 is always there.
    std::printf("s SATISFIABLE \n");
    std::printf("c Minimal model: %ld \n", a.cost + 1);
  } else {
    return reportMaxSatFailure("MaxSAT solver " + cmd + " gave no verdict");
  }
  printTimeLine("Total_time(ms):", cpuTime() - run.start + a.extraMs);
  return 0;
}

}  // namespace

int runMinimalSearch(S5clauSet& cs, const Run& run) {
  Decision d = decide(cs, run.result());
  if (d.verdict == Verdict::Unsat) return reportStatus("s UNSATISFIABLE ", run.start);
  if (d.verdict == Verdict::Indeterminate) return reportIndeterminate(run.start);
  if (run.options.minimal == MinimalMode::MaxSat) return searchMaxSat(cs, d.worlds, run);
  WorldCounts counts(cs, d.worlds);
  switch (run.options.minimal) {
    case MinimalMode::Descending: return searchDescending(counts, d.worlds, run.result(), run.start);
    case MinimalMode::Halving: return searchHalving(counts, d.worlds, run.result(), run.start);
    default: return searchAscending(counts, d.worlds, run.result(), run.start);
  }
}

#include "solver/SatSolver.h"

#include <unistd.h>

#include <cadical.hpp>
#include <csignal>

#include "solver/bridgeLines.h"
#include "solver/cpuTime.h"

namespace {

// Conflicts a solve may spend with the false-first gate hints; on the LWB
// pigeon-hole files 1000 to 2000 decide in the one-shot time, 20000 took 4
// times as long (bench/results/engine.md).
const int kHintConflicts = 1000;

// The signal handlers need the instance they act on, and a handler takes no
// argument: the live instance, null when there is none. Only SatSolver sets it.
CaDiCaL::Solver* solver = nullptr;
// Set by an interrupt during a search: tells it from a conflict limit.
volatile std::sig_atomic_t interrupted = 0;
// Its lines: the loading handler prints statistics when Printed.
SolverLines solverLines = SolverLines::Silent;

void SIGINT_interrupt(int) {
  interrupted = 1;
  if (solver != nullptr) solver->terminate();
}

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

// The library's terminator, which remembers that it fired: a search that
// ends without an answer was stopped, or only hit the hints' conflict limit.
class SatSolver::StopLink : public CaDiCaL::Terminator {
 public:
  explicit StopLink(Stopper& stopper) : stopper(stopper) {}
  bool terminate() override {
    fired = fired || stopper.shouldStop();
    return fired;
  }
  Stopper& stopper;
  bool fired = false;
};

SatSolver::SatSolver(SolverLines lines, GateHints hints, Stopper* stopper) : s(new CaDiCaL::Solver) {
  if (lines == SolverLines::Silent) s->set("quiet", 1);
  if (hints == GateHints::On) s->set("lucky", 0);
  if (stopper != nullptr) {
    stopLink = std::make_unique<StopLink>(*stopper);
    s->connect_terminator(stopLink.get());
  } else {
    solverLines = lines;
    solver = s.get();
  }
  loading();
  created = loadingSince = cpuTime();
}

// The handlers lose the instance before it goes, so a late interrupt never
// reaches a destroyed solver.
SatSolver::~SatSolver() {
  if (stopLink != nullptr) {
    s->disconnect_terminator();
    return;
  }
  installHandler(SIG_DFL);
  solver = nullptr;
}

void SatSolver::loading() {
  if (stopLink == nullptr) installHandler(SIGINT_exit);
}

void SatSolver::searching() {
  if (stopLink == nullptr) installHandler(SIGINT_interrupt);
}

bool SatSolver::wasStopped() const { return stopLink != nullptr ? stopLink->fired : interrupted != 0; }

void SatSolver::add(const std::vector<int>& lits) {
  for (int l : lits) s->add(l);
  s->add(0);
  added++;
}

void SatSolver::addAll(ClauseList& clauses) {
  clauses.forEach([&](const int* first, const int* last) {
    for (const int* p = first; p != last; p++) s->add(*p);
    s->add(0);
    added++;
  });
  clauses.clear();
}

void SatSolver::freeze(int var) { s->freeze(var); }

void SatSolver::preferFalse(int var) {
  s->freeze(var);
  s->phase(-var);
  preferredFalse.push_back(var);
}

// False-first gates keep models small, but on some formulas (pigeon holes)
// they steer the search into a corner it takes minutes to leave; without
// them the same solve takes a fraction of a second.
// The library forgets assumptions after every solve, so the second one
// assumes them again.
int SatSolver::search(const std::vector<int>& assumptions) {
  for (int a : assumptions) s->assume(a);
  if (preferredFalse.empty()) return s->solve();
  s->limit("conflicts", kHintConflicts);
  int verdict = s->solve();
  if (verdict != 0 || wasStopped()) return verdict;
  for (int v : preferredFalse) s->unphase(-v);
  std::vector<int>().swap(preferredFalse);
  for (int a : assumptions) s->assume(a);
  return s->solve();
}

Verdict SatSolver::solve(const std::vector<int>& assumptions) {
  if (stopLink != nullptr) stopLink->fired = false;
  double t = cpuTime();
  loadMs += t - loadingSince;
  searching();
  if (!simplified) {
    // Root-level propagation only: full preprocessing rounds have no effort
    // limit in the library.
    simplified = true;
    refutedBySimplify = s->simplify(0) == 20;
    simplifyMs = cpuTime() - t;
  }
  int verdict = refutedBySimplify ? 20 : search(assumptions);
  loading();
  loadingSince = cpuTime();
  return static_cast<Verdict>(verdict);
}

bool SatSolver::isTrue(int lit) { return s->val(lit) > 0; }

// A refutation by root-level simplification used no assumption.
bool SatSolver::isFailed(int lit) { return !refutedBySimplify && s->failed(lit); }

void SatSolver::announce() {
  printBanner();
  printStatisticsHead();
  std::fflush(stdout);
  announced = true;
}

void SatSolver::report(Verdict verdict, const char* note, FILE* result) {
  if (!announced) announce();
  printCount("Number of SAT variables:               ", s->vars());
  printCount("Number of original SAT clauses:        ", added);
  printCount("Number of SAT clauses after simplified:", s->irredundant());
  printTime("Parse time:           ", loadMs);
  std::fputs(kBlankBoxLine, stdout);
  std::printf("c | Preprocesing is fully done\n");
  printTime("Simplification time:  ", simplifyMs);
  std::fputs(kBlankBoxLine, stdout);
  if (refutedBySimplify) std::printf("%sSolved by simplification\n", kRule);
  printStats(created, *s);
  if (note != nullptr) std::puts(note);
  std::printf("\n%s\n", statusLine(verdict));
  writeWord(result, verdict);
}

int SatSolver::outOfMemory() {
  std::printf("%sINDETERMINATE\n", kRule);
  return 0;
}

#include "solver/SatSolver.h"

#include <cadical.hpp>

#include "solver/cpuTime.h"

namespace {

// Conflicts a solve may spend with the false-first gate hints; on the LWB
// pigeon-hole files 1000 to 2000 decide in the one-shot time, 20000 took 4
// times as long (bench/results/engine.md).
const int kHintConflicts = 1000;

}  // namespace

// The library's terminator, which remembers that it fired: a search that
// ends without an answer was stopped, or only hit the hints' conflict limit.
class SatSolver::StopLink : public CaDiCaL::Terminator {
 public:
  explicit StopLink(SolveControl& control) : control(control) {}
  bool terminate() override {
    fired = fired || control.shouldStop();
    return fired;
  }
  SolveControl& control;
  bool fired = false;
};

SatSolver::SatSolver(SolveControl& control, SolverLines lines, GateHints hints)
    : control(control), s(new CaDiCaL::Solver), stopLink(new StopLink(control)) {
  if (lines == SolverLines::Silent) s->set("quiet", 1);
  if (hints == GateHints::On) s->set("lucky", 0);
  s->connect_terminator(stopLink.get());
  control.attached(*s);
  t.created = loadingSince = cpuTime();
}

SatSolver::~SatSolver() {
  control.detached();
  s->disconnect_terminator();
}

void SatSolver::add(const std::vector<int>& lits) {
  for (int l : lits) s->add(l);
  s->add(0);
  t.added++;
}

void SatSolver::addAll(ClauseList& clauses) {
  clauses.forEach([&](const int* first, const int* last) {
    for (const int* p = first; p != last; p++) s->add(*p);
    s->add(0);
    t.added++;
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
int SatSolver::search(const std::vector<int>& assumptions, int conflicts) {
  for (int a : assumptions) s->assume(a);
  if (!preferredFalse.empty()) {
    bool within = conflicts >= 0 && conflicts <= kHintConflicts;
    s->limit("conflicts", within ? conflicts : kHintConflicts);
    int verdict = s->solve();
    if (verdict != 0 || stopLink->fired || within) return verdict;
    for (int v : preferredFalse) s->unphase(-v);
    std::vector<int>().swap(preferredFalse);
    for (int a : assumptions) s->assume(a);
    if (conflicts >= 0) conflicts -= kHintConflicts;
  }
  if (conflicts >= 0) s->limit("conflicts", conflicts);
  return s->solve();
}

Verdict SatSolver::solve(const std::vector<int>& assumptions, int conflicts) {
  stopLink->fired = false;
  double now = cpuTime();
  t.loadMs += now - loadingSince;
  control.searchStarts();
  if (!simplified) {
    // Root-level propagation only: full preprocessing rounds have no effort
    // limit in the library.
    simplified = true;
    t.refutedBySimplify = s->simplify(0) == 20;
    t.simplifyMs = cpuTime() - now;
  }
  int verdict = t.refutedBySimplify ? 20 : search(assumptions, conflicts);
  control.searchEnds();
  loadingSince = cpuTime();
  return static_cast<Verdict>(verdict);
}

bool SatSolver::stopped() const { return stopLink->fired; }

bool SatSolver::isTrue(int lit) { return s->val(lit) > 0; }

// A refutation by root-level simplification used no assumption.
bool SatSolver::isFailed(int lit) { return !t.refutedBySimplify && s->failed(lit); }

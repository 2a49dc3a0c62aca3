// The incremental solver: one SAT solver and one lazy witness-world encoder,
// fed in batches. Scopes and assumptions are switches: a formula added
// inside a scope, or assumed, is encoded once with a guard literal and
// switched on by assuming its switch atom in world 0. Witness worlds come
// from the world bound over every clause so far; the encoding is built
// again only when new clauses change the worlds of clauses already encoded.
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <unordered_map>

#include "api/Clausifier.h"
#include "api/ModelData.h"
#include "encoding/LazyWorlds.h"
#include "search/fewestWorlds.h"
#include "search/lazySolve.h"
#include "search/maxSat.h"
#include "solver/SatSolver.h"
#include "tarvel/tarvel.hpp"

namespace tarvel {

namespace {

using Clock = std::chrono::steady_clock;

bool isExecutable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

// Where an installed package keeps the script, seen from the file that holds
// this code (the shared library, or a program linked with the static one):
// the package may have been moved or installed under another prefix.
std::string scriptBesideThisCode() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&isExecutable), &info) == 0 || info.dli_fname == nullptr) return std::string();
  std::string file = info.dli_fname;
  size_t slash = file.rfind('/');
  if (slash == std::string::npos) return std::string();
  std::string dir = file.substr(0, slash);
  for (const char* up : {"/../libexec/tarvel/starexec_run_A", "/../../libexec/tarvel/starexec_run_A"})
    if (isExecutable(dir + up)) return dir + up;
  return std::string();
}

// The installed script, else the one of the build tree the library was built
// in, else whatever the PATH has under that name.
std::string defaultMaxSatScript() {
  std::string beside = scriptBesideThisCode();
  if (!beside.empty()) return beside;
  for (const char* path : {TARVEL_INSTALLED_MAXSAT_SCRIPT, TARVEL_BUILD_MAXSAT_SCRIPT})
    if (isExecutable(path)) return path;
  return "starexec_run_A";
}

std::string temporaryDirectory() {
  const char* dir = std::getenv("TMPDIR");
  return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

WorldOrder orderOf(Search search) {
  switch (search) {
    case Search::Descending: return WorldOrder::Descending;
    case Search::Halving: return WorldOrder::Halving;
    default: return WorldOrder::Ascending;
  }
}

// Whether a clause keeps the witness worlds it was encoded with.
bool sameWorlds(const std::vector<S5lit>& a, const std::vector<S5lit>& b) {
  for (size_t i = 0; i < a.size(); i++)
    if (a[i].world != b[i].world) return false;
  return true;
}

}  // namespace

// One SAT solver and its encoder, made again when the grouping changes.
struct Engine {
  explicit Engine(SolveControl& control) : sat(control, SolverLines::Silent, GateHints::On), link(sat), worlds(link) {}
  SatSolver sat;
  SolverLink link;
  LazyWorlds worlds;
};

struct Solver::State : SolveControl {
  State() : engine(new Engine(*this)) {}

  bool shouldStop() override {
    if (stopRequested.load(std::memory_order_relaxed)) return true;
    if (timeLimit > 0 && Clock::now() >= deadline) return true;
    return poll && poll();
  }

  Clausifier atoms;
  std::unique_ptr<Engine> engine;
  // While grouped, every clause the engine holds, in order, with its witness
  // worlds; and the clauses waiting for the next check.
  std::vector<std::vector<S5lit>> encoded, pending;
  bool grouped = true;  // false: a world of its own for each diamond clause
  int worldN = 1;       // worlds handed out once not grouped
  struct Scope {
    int selector;
    size_t clausesBefore;
  };
  std::vector<Scope> scopes;
  // The clauses of the formulas in open scopes, unguarded: the fewest-worlds
  // searches build their own encodings from them.
  std::vector<std::vector<S5lit>> live;
  std::unordered_map<Formula, int> switchOf;  // assumption -> its switch atom

  // The answer of the last check and what goes with it.
  Result last = Result::Unknown;
  bool haveModel = false;
  Model model;
  std::vector<Formula> assumed, failed;

  std::atomic<bool> stopRequested{false};
  double timeLimit = 0;
  Clock::time_point deadline;
  std::function<bool()> poll;
  std::string maxSatScript;
  Statistics stats;

  void encodePending();
  void ungroup();
  void addInOwnWorlds();
  int switchFor(const Formula& a);
  void startStopwatch();
  void stopStopwatch(Clock::time_point started);
  Result decide(const std::vector<int>& lits);
  Result checkUnder(const std::vector<Formula>& assumptions);
  std::vector<Formula> minimalCore(std::vector<Formula> core);
  int fewest(Search search);
};

// The world bound groups Diamond clauses that cannot clash into one witness
// world; a later clause can make two grouped ones clash, and reusing the old
// grouping could then answer Unsat wrongly. So the grouping is computed again
// over all clauses; the first time it moves a clause already encoded, the
// engine starts over with a world of its own for every diamond clause, the
// grouping no clause can spoil, and keeps to it from then on: one rebuild at
// most, where regrouping at every change would rebuild at every check.
void Solver::State::encodePending() {
  if (pending.empty()) return;
  // A formula decided in one check gets every Box clause with its world, as
  // on the command line (few rounds); one that grows between checks gets
  // them lazily, or every check would pay for Boxes in worlds that never
  // needed them.
  if (stats.checks > 0) engine->worlds.addBoxesLazily();
  if (!grouped) return addInOwnWorlds();
  S5clauSet all;
  all.clauses = encoded;
  all.clauses.insert(all.clauses.end(), pending.begin(), pending.end());
  all.listDiamondClauses();
  all.decideWorldN();
  bool moved = false;
  for (size_t c = 0; c < encoded.size() && !moved; c++) moved = !sameWorlds(encoded[c], all.clauses[c]);
  if (moved) return ungroup();
  pending.clear();
  std::vector<std::vector<S5lit>> added(all.clauses.begin() + static_cast<long>(encoded.size()), all.clauses.end());
  engine->worlds.addClauses(added, all.worldN);
  encoded = std::move(all.clauses);
}

void Solver::State::ungroup() {
  grouped = false;
  pending.insert(pending.begin(), encoded.begin(), encoded.end());
  std::vector<std::vector<S5lit>>().swap(encoded);
  worldN = 1;
  engine.reset();
  engine = std::make_unique<Engine>(*this);
  engine->worlds.addBoxesLazily();
  addInOwnWorlds();
}

void Solver::State::addInOwnWorlds() {
  worldN = giveOwnWorlds(pending, worldN);
  engine->worlds.addClauses(pending, worldN);
  pending.clear();
}

int Solver::State::switchFor(const Formula& a) {
  auto found = switchOf.find(a);
  if (found != switchOf.end()) return found->second;
  int s = atoms.freshAtom();
  std::vector<std::vector<S5lit>> cs = atoms.clauses(a, -s);
  pending.insert(pending.end(), cs.begin(), cs.end());
  switchOf.emplace(a, s);
  return s;
}

void Solver::State::startStopwatch() {
  stopRequested.store(false, std::memory_order_relaxed);
  if (timeLimit > 0) deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeLimit));
}

void Solver::State::stopStopwatch(Clock::time_point started) {
  stats.solveSeconds += std::chrono::duration<double>(Clock::now() - started).count();
}

// Solves, adding the witness worlds each model uses, until a model needs
// none: every round relaxes the encoding over all worlds, so an Unsat round
// refutes, and the last model is an S5 model over the active worlds.
Result Solver::State::decide(const std::vector<int>& lits) {
  for (;;) {
    Verdict v = engine->sat.solve(lits);
    stats.rounds++;
    if (v == Verdict::Unsat) return Result::Unsat;
    if (v != Verdict::Sat || shouldStop()) return Result::Unknown;
    if (engine->worlds.refine(engine->link) == 0) return Result::Sat;
  }
}

Result Solver::State::checkUnder(const std::vector<Formula>& assumptions) {
  Clock::time_point started = Clock::now();
  startStopwatch();
  haveModel = false;
  failed.clear();
  assumed = assumptions;
  std::vector<int> switchAtoms;
  for (const Formula& a : assumptions) switchAtoms.push_back(switchFor(a));
  encodePending();
  std::vector<int> lits;
  for (const Scope& s : scopes) lits.push_back(engine->worlds.actualWorldVariable(s.selector));
  std::vector<int> switches;
  for (int t : switchAtoms) {
    switches.push_back(engine->worlds.actualWorldVariable(t));
    lits.push_back(switches.back());
  }
  last = decide(lits);
  stats.checks++;
  stats.worldsActivated = engine->worlds.activeWorlds() - 1;
  if (last == Result::Sat) {
    model = ModelAccess::make(engine->worlds.decodeModel(engine->link), atoms);
    haveModel = true;
  }
  if (last == Result::Unsat)
    for (size_t i = 0; i < assumptions.size(); i++)
      if (engine->sat.isFailed(switches[i])) failed.push_back(assumptions[i]);
  stopStopwatch(started);
  return last;
}

// Drops one assumption at a time while the rest stay unsatisfiable, each
// time keeping only the part the refutation used.
std::vector<Formula> Solver::State::minimalCore(std::vector<Formula> core) {
  for (size_t i = 0; i < core.size();) {
    std::vector<Formula> rest = core;
    rest.erase(rest.begin() + static_cast<long>(i));
    Result r = checkUnder(rest);
    if (r == Result::Unknown) break;
    if (r == Result::Unsat) {
      core = failed;
    } else {
      i++;
    }
  }
  return core;
}

// A search of its own over the live clauses, grouped afresh by the world
// bound: the witness worlds of the incremental encoding (one per Diamond)
// are sound but not the fewest.
int Solver::State::fewest(Search search) {
  Clock::time_point started = Clock::now();
  startStopwatch();
  haveModel = false;
  failed.clear();
  assumed.clear();
  S5clauSet cs;
  cs.clauses = live;
  cs.listDiamondClauses();
  cs.decideWorldN();
  WorldCount count = decideCounting(cs, [](Verdict) {}, *this);
  if (count.verdict == Verdict::Sat && search == Search::MaxSat) {
    std::string script = maxSatScript.empty() ? defaultMaxSatScript() : maxSatScript;
    MaxSatAnswer a = runMaxSat(cs, count.worlds, script, InstanceFile{temporaryDirectory(), ""});
    if (a.verdict != Verdict::Sat) {
      stopStopwatch(started);
      throw std::runtime_error("tarvel: " + (a.failure.empty() ? std::string("the MaxSAT solver found no model") : a.failure));
    }
    count = modelWithin(cs, static_cast<int>(a.cost) + 1, *this);
  } else if (count.verdict == Verdict::Sat) {
    count = searchFewestWorlds(cs, std::move(count), orderOf(search), [](Verdict) {}, *this);
  }
  stopStopwatch(started);
  last = count.verdict == Verdict::Sat ? Result::Sat : count.verdict == Verdict::Unsat ? Result::Unsat : Result::Unknown;
  if (last != Result::Sat) return last == Result::Unsat ? 0 : -1;
  model = ModelAccess::make(count.model, atoms);
  haveModel = true;
  return count.worlds;
}

Solver::Solver() : state(new State) {}
Solver::~Solver() = default;
Solver::Solver(Solver&&) noexcept = default;
Solver& Solver::operator=(Solver&&) noexcept = default;

void Solver::add(const Formula& f) {
  int guard = state->scopes.empty() ? 0 : -state->scopes.back().selector;
  std::vector<std::vector<S5lit>> cs = state->atoms.clauses(f, guard);
  state->pending.insert(state->pending.end(), cs.begin(), cs.end());
  for (auto& c : cs) {
    if (guard != 0) c.pop_back();
    state->live.push_back(std::move(c));
  }
}

Result Solver::check() { return state->checkUnder({}); }
Result Solver::check(const std::vector<Formula>& assumptions) { return state->checkUnder(assumptions); }

Model Solver::model() const {
  if (!state->haveModel) throw std::logic_error("tarvel: model() without a model: the last check did not answer Sat");
  return state->model;
}

std::vector<Formula> Solver::core(bool minimal) {
  if (state->last != Result::Unsat) throw std::logic_error("tarvel: core() after a check that did not answer Unsat");
  if (!minimal) return state->failed;
  std::vector<Formula> assumed = state->assumed;
  std::vector<Formula> core = state->minimalCore(state->failed);
  // The last check asked stays the one the caller made.
  state->last = Result::Unsat;
  state->haveModel = false;
  state->assumed = std::move(assumed);
  state->failed = core;
  return core;
}

void Solver::push() {
  int selector = state->atoms.freshAtom();
  state->scopes.push_back({selector, state->live.size()});
}

void Solver::pop() {
  if (state->scopes.empty()) throw std::logic_error("tarvel: pop() without an open scope");
  State::Scope s = state->scopes.back();
  state->scopes.pop_back();
  state->pending.push_back({S5lit{LitKind::Prop, {-s.selector}, -1}});
  state->live.resize(s.clausesBefore);
}

int Solver::fewestWorlds(Search search) { return state->fewest(search); }

int Solver::scopes() const { return static_cast<int>(state->scopes.size()); }

void Solver::setTimeLimit(double seconds) { state->timeLimit = seconds; }
void Solver::interrupt() { state->stopRequested.store(true, std::memory_order_relaxed); }
void Solver::setStopPoll(std::function<bool()> poll) { state->poll = std::move(poll); }
void Solver::setMaxSatScript(const std::string& path) { state->maxSatScript = path; }
Statistics Solver::statistics() const { return state->stats; }

}  // namespace tarvel

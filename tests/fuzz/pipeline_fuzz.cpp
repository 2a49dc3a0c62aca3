// The whole pipeline from formula text to verdict, for small inputs, checked
// three ways: the lazy path over the conflict-based world bound and the
// one-shot path over the one-world-per-Diamond bound must agree; a small
// formula's verdict must match the brute-force evaluator; and every model of
// either path must satisfy the formula.
#include <cstdio>
#include <new>
#include <string>

#include "search/lazySolve.h"
#include "encoding/S5model.h"
#include "encoding/Trans2SAT.h"
#include "frontend/S5NFTrans.h"
#include "solver/SatSolver.h"
#include "tests/InProcess.h"

namespace {

// Larger inputs and encodings only cost fuzzing speed: the normal form of a
// few kilobytes can be exponential, which is not what this target looks for.
const size_t kMaxInput = 2048;
const size_t kNodeLimit = 200000;
const size_t kMaxEncodingWork = 40000;  // worlds x S5 clauses
const size_t kMaxSatClauses = 100000;    // a few seconds of solving under the sanitizers
const int kOracleAtoms = 4;
const int kOracleModalOps = 5;

int modalDepth(const OFormula& f) {
  int d = 0;
  for (const OFormula& a : f.args) d = std::max(d, modalDepth(a));
  return d + (f.op == OFormula::BOX || f.op == OFormula::DIA ? 1 : 0);
}

struct Outcome {
  Verdict verdict = Verdict::Indeterminate;  // also: not decided within the limits
  std::string model;
};

Outcome decide(const uint8_t* data, size_t size, bool classic) {
  Outcome out;
  ASTNode* root = parseBytes(data, size);
  if (root == nullptr) return out;
  S5clauSet cs;
  S5NFTrans trans;
  NormalForm reduced = trans.trans2NF(cs, root);
  if (reduced == NormalForm::Failed) __builtin_trap();  // the normal form failed (trans.error)
  if (reduced != NormalForm::Clauses) {
    out.verdict = reduced == NormalForm::ReducedToTrue ? Verdict::Sat : Verdict::Unsat;
    return out;
  }
  if (classic)
    cs.decideClassicWorldN();
  else
    cs.decideWorldN();
  if (static_cast<size_t>(cs.worldN) * cs.clauses.size() > kMaxEncodingWork) return out;
  std::vector<std::vector<int>> worlds;
  if (classic) {
    Trans2SAT enc;
    enc.TranS52SAT(cs);
    if (enc.satClauses.size() > kMaxSatClauses) return out;
    SolveControl control;
    SatSolver sat(control);
    sat.addAll(enc.satClauses);
    out.verdict = sat.solve();
    if (out.verdict == Verdict::Sat) worlds = enc.decodeModel([&](int v) { return sat.isTrue(v); });
  } else {
    SolveControl control;
    SatSolver sat(control, SolverLines::Silent, GateHints::On);
    LazyOutcome lazy = solveLazily(cs, sat, [] {});
    out.verdict = lazy.verdict;
    worlds = lazy.model;
  }
  if (out.verdict == Verdict::Sat) out.model = printedBy([&](FILE* f) { printS5Model(worlds, AtomNames(), f); });
  return out;
}

// Runs the pipeline under the node limit; an input beyond it is skipped.
bool decideWithin(const uint8_t* data, size_t size, bool classic, Outcome& out) {
  NodeArena arena;
  NodeArena::Scope scope(arena);
  arena.setLimit(kNodeLimit);
  try {
    out = decide(data, size, classic);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void checkModel(const OFormula& f, const std::string& model) {
  if (model.empty() || largestAtom(f) > 32) return;
  std::vector<World> worlds = parseModel(model);
  if (worlds.empty()) __builtin_trap();
  double work = 1;
  for (int d = modalDepth(f); d > 0; d--) work *= static_cast<double>(worlds.size());
  if (work > 1e6) return;
  if (!holds(f, worlds, worlds[0])) __builtin_trap();  // the printed model fails the formula
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  Outcome ours, classic;
  if (!decideWithin(data, size, false, ours) || !decideWithin(data, size, true, classic)) return 0;
  bool bothDecided = ours.verdict != Verdict::Indeterminate && classic.verdict != Verdict::Indeterminate;
  if (bothDecided && ours.verdict != classic.verdict) __builtin_trap();
  if (ours.verdict == Verdict::Indeterminate) return 0;

  OFormula f;
  {
    NodeArena arena;
    NodeArena::Scope scope(arena);
    f = oracleFormula(parseBytes(data, size));
  }
  checkModel(f, ours.model);
  checkModel(f, classic.model);
  int modalOps = diamondCount(f);
  if (largestAtom(f) <= kOracleAtoms && modalOps <= kOracleModalOps) {
    bool satisfiable = smallestModel(f, kOracleAtoms, modalOps + 1) > 0;
    if (satisfiable != (ours.verdict == Verdict::Sat)) __builtin_trap();  // wrong verdict
  }
  return 0;
}

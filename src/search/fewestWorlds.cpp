#include "search/fewestWorlds.h"

#include <memory>

#include "encoding/S5model.h"
#include "encoding/Trans2SAT.h"
#include "search/lazySolve.h"

namespace {

// The worlds of `model` that `cs` needs, as a count with its model.
WorldCount cutDown(const S5clauSet& cs, const std::vector<std::vector<int>>& model) {
  WorldCount c;
  c.verdict = Verdict::Sat;
  for (size_t w : neededWorldList(cs, model)) c.model.push_back(model[w]);
  c.worlds = static_cast<int>(c.model.size());
  return c;
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
  WorldCounts(S5clauSet& cs, int worlds, const SolveObserver& eachSolve, SolveControl& control)
      : cs(cs), worlds(worlds), eachSolve(eachSolve), control(control) {}
  // Whether some model has at most j worlds.
  Verdict solve(int j) {
    encodeFor(j == 1 ? 1 : worlds);
    assumptions.clear();
    for (int w = j; w < encoded; w++) assumptions.push_back(-w);
    Verdict r = sat->solve(assumptions);
    eachSolve(r);
    return r;
  }
  // require: solve(j) answered Sat. The worlds its model really needs (<= j):
  // every count from there up to j has a model too and needs no solve.
  WorldCount neededBy(int j) {
    std::vector<int> rank(static_cast<size_t>(encoded), -1);
    for (int w = 0; w < j; w++) rank[static_cast<size_t>(w)] = w;
    return cutDown(cs, decodeWorlds(enc->atomWorldOf, rank, [&](int v) { return sat->isTrue(v); }));
  }

 private:
  void encodeFor(int k) {
    if (encoded == k) return;
    sat.reset();
    enc = std::make_unique<Trans2SAT>();
    enc->TranS52SAT_sel(cs, k);
    sat = std::make_unique<SatSolver>(control);
    for (int w = 1; w < k; w++) sat->freeze(w);
    sat->addAll(enc->satClauses);
    encoded = k;
  }

  S5clauSet& cs;
  int worlds;
  SolveObserver eachSolve;
  SolveControl& control;
  int encoded = 0;  // worlds of the encoding in `sat`
  std::unique_ptr<Trans2SAT> enc;
  std::unique_ptr<SatSolver> sat;
  std::vector<int> assumptions;
};

WorldCount stopped() { return WorldCount(); }

// The solve every search pays: whether one world fewer than best.worlds
// will do. Sat: `best` becomes its model. Asked before the mode's own order:
// below the minimum each count can be a pigeon-hole question (pairwise
// clashing Diamonds), and with this one answered early the rest are often
// not needed (ascending on 32 clashing Diamonds: over 120 s without it).
Verdict askOneFewer(WorldCounts& counts, WorldCount& best) {
  Verdict r = counts.solve(best.worlds - 1);
  if (r == Verdict::Sat) best = counts.neededBy(best.worlds - 1);
  return r;
}

// Count 1 first, on its own encoding, then one fewer than the model's, then upwards.
WorldCount searchAscending(WorldCounts& counts, WorldCount best) {
  for (int k = 1; k < best.worlds; k++) {
    Verdict r = counts.solve(k);
    if (r == Verdict::Sat) return counts.neededBy(k);
    if (r == Verdict::Indeterminate) return stopped();
    if (k == 1 && best.worlds > 3) {
      r = askOneFewer(counts, best);
      if (r == Verdict::Indeterminate) return stopped();
      if (r == Verdict::Unsat) break;
    }
  }
  return best;
}

// Each model found may need fewer worlds than it was allowed: the search
// goes on below what it needs.
WorldCount searchDescending(WorldCounts& counts, WorldCount best) {
  while (best.worlds > 1) {
    Verdict r = askOneFewer(counts, best);
    if (r == Verdict::Indeterminate) return stopped();
    if (r == Verdict::Unsat) break;
  }
  return best;
}

// lo worlds may be too few, best.worlds are enough; one fewer than the model's first.
WorldCount searchHalving(WorldCounts& counts, WorldCount best) {
  int lo = 1;
  if (best.worlds > 2) {
    Verdict r = askOneFewer(counts, best);
    if (r == Verdict::Indeterminate) return stopped();
    if (r == Verdict::Unsat) return best;
  }
  while (lo < best.worlds) {
    int mid = lo + (best.worlds - lo) / 2;
    Verdict r = counts.solve(mid);
    if (r == Verdict::Indeterminate) return stopped();
    if (r == Verdict::Sat) {
      best = counts.neededBy(mid);
    } else {
      lo = mid + 1;
    }
  }
  return best;
}

}  // namespace

WorldCount decideCounting(const S5clauSet& cs, const SolveObserver& eachSolve, SolveControl& control) {
  SatSolver sat(control, SolverLines::Silent, GateHints::On);
  LazyOutcome out = solveLazily(cs, sat, [] {});
  eachSolve(out.verdict);
  if (out.verdict != Verdict::Sat) {
    WorldCount c;
    c.verdict = out.verdict;
    return c;
  }
  return cutDown(cs, out.model);
}

WorldCount searchFewestWorlds(S5clauSet& cs, WorldCount first, WorldOrder order, const SolveObserver& eachSolve,
                              SolveControl& control) {
  WorldCounts counts(cs, first.worlds, eachSolve, control);
  switch (order) {
    case WorldOrder::Descending: return searchDescending(counts, std::move(first));
    case WorldOrder::Halving: return searchHalving(counts, std::move(first));
    default: return searchAscending(counts, std::move(first));
  }
}

WorldCount modelWithin(S5clauSet& cs, int worlds, SolveControl& control) {
  WorldCounts counts(cs, worlds, [](Verdict) {}, control);
  return counts.solve(worlds) == Verdict::Sat ? counts.neededBy(worlds) : stopped();
}

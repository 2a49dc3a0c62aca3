#include "search/lazySolve.h"

namespace {

// Conflicts the first solve under the shared Diamonds' witness choices may
// spend; doubled each time a solve spends them, so that a formula whose
// choices are hard gets ever longer solves, not ever more rounds without
// them.
const int kFirstConflicts = 100;

// Whether to solve again without the shared Diamonds' witness choices: they
// were too hard within the conflicts, or refuted the round. A model
// without them tells which Diamonds need more candidates.
bool isWithoutChoices(SatSolver& sat, Verdict verdict, int selector) {
  if (verdict == Verdict::Indeterminate) return !sat.stopped();
  return verdict == Verdict::Unsat && sat.isFailed(selector);
}

}  // namespace

LazyOutcome solveLazily(const S5clauSet& cs, SatSolver& sat, const std::function<void()>& firstRound,
                        BoxClauses boxClauses, WitnessChoice witnesses) {
  SolverLink link(sat);
  LazyWorlds enc(cs, link, boxClauses, witnesses);
  enc.encodeFirstRound();
  firstRound();
  LazyOutcome out;
  int conflicts = kFirstConflicts;
  for (;;) {
    std::vector<int> assumed = enc.assumptions();
    out.verdict = sat.solve(assumed, assumed.empty() ? -1 : conflicts);
    out.rounds++;
    bool free = !assumed.empty() && isWithoutChoices(sat, out.verdict, assumed[0]);
    if (out.verdict == Verdict::Indeterminate && conflicts < (1 << 29)) conflicts *= 2;
    if (free) out.verdict = sat.solve();
    if (out.verdict != Verdict::Sat || enc.refine(link) == 0) break;
  }
  out.activeWorlds = enc.activeWorlds();
  if (out.verdict == Verdict::Sat) out.model = enc.decodeModel(link);
  return out;
}

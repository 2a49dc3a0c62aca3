#include "search/lazySolve.h"

LazyOutcome solveLazily(const S5clauSet& cs, SatSolver& sat, const std::function<void()>& firstRound,
                        BoxClauses boxClauses) {
  SolverLink link(sat);
  LazyWorlds enc(cs, link, boxClauses);
  enc.encodeFirstRound();
  firstRound();
  LazyOutcome out;
  do {
    out.verdict = sat.solve();
    out.rounds++;
  } while (out.verdict == Verdict::Sat && enc.refine(link) > 0);
  out.activeWorlds = enc.activeWorlds();
  if (out.verdict == Verdict::Sat) out.model = enc.decodeModel(link);
  return out;
}

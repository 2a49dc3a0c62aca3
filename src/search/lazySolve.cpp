#include "search/lazySolve.h"

namespace {

// The encoder's clauses go straight into the solver, which answers model queries.
class SolverLink : public ClauseSink, public ModelView {
 public:
  explicit SolverLink(SatSolver& sat) : sat(sat) {}
  void add(const std::vector<int>& lits) override { sat.add(lits); }
  void preferFalse(int var) override { sat.preferFalse(var); }
  bool isTrue(int lit) override { return sat.isTrue(lit); }

 private:
  SatSolver& sat;
};

}  // namespace

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

#include "driver/defaultSolve.h"

#include <new>

#include "driver/runLines.h"
#include "encoding/LazyWorlds.h"
#include "encoding/S5model.h"
#include "encoding/Trans2SAT.h"
#include "solver/IncrementalSolver.h"
#include "solver/cpuTime.h"
#include "solver/glucose_40.h"

namespace {

// Opens the named file for an optional output, or falls back to standard error.
template <class Write>
void writeOptionalFile(const char* name, Write write) {
  FILE* f = name != nullptr ? std::fopen(name, "wb") : nullptr;
  write(f != nullptr ? f : stderr);
  if (f != nullptr) std::fclose(f);
}

void writeS5NF(const S5clauSet& cs, const S5Options& opt) {
  if (opt.s5nf) writeOptionalFile(opt.s5nfFile, [&](FILE* f) { cs.printClauSet(f); });
}

// The model goes after the verdict word into the result file, or to standard error.
void writeModel(const std::vector<std::vector<int>>& worlds, const AtomNames& names, FILE* result) {
  std::fflush(stdout);
  printS5Model(worlds, names, result != nullptr ? result : stderr);
  if (result != nullptr) std::fclose(result);
}

// The encoder's clauses go straight into the solver, which answers model queries.
class SolverLink : public ClauseSink, public ModelView {
 public:
  explicit SolverLink(IncrementalSolver& sat) : sat(sat) {}
  void add(const std::vector<int>& lits) override { sat.add(lits); }
  void preferFalse(int var) override { sat.preferFalse(var); }
  bool isTrue(int lit) override { return sat.isTrue(lit); }

 private:
  IncrementalSolver& sat;
};

void runOneShot(S5clauSet& cs, const S5Options& opt, FILE* result, double start, double t1,
                const AtomNames& names) {
  Trans2SAT enc;
  enc.TranS52SAT(cs);
  printTimeLine("Tran2SAT_time(ms):", cpuTime() - t1);
  writeS5NF(cs, opt);
  if (opt.satcnf) writeOptionalFile(opt.satcnfFile, [&](FILE* f) { enc.printSATclau(f); });
  if (opt.noResult) {
    if (opt.model)
      std::fprintf(stderr, "-no-result option must be canceled or the solver will not return a model\n");
    return;
  }
  glucose_40 sat;
  std::fflush(stdout);
  int verdict = sat.Solve(enc.satClauses, result);
  printTotalTime(start);
  if (opt.model && verdict == 10) writeModel(enc.decodeModel(sat.satModel), names, result);
}

// Solves with world 0 and the forced witness worlds, then adds the witness
// worlds each model uses until a model uses none; each round relaxes the
// encoding over all worlds, so its refutation refutes the formula.
void runLazy(S5clauSet& cs, const S5Options& opt, FILE* result, double start, double t1, const AtomNames& names) {
  int verdict = 0;
  try {
    IncrementalSolver sat;
    SolverLink link(sat);
    LazyWorlds enc(cs, link);
    enc.encodeFirstRound();
    printTimeLine("Tran2SAT_time(ms):", cpuTime() - t1);
    writeS5NF(cs, opt);
    int rounds = 0;
    do {
      verdict = sat.solve();
      rounds++;
    } while (verdict == 10 && enc.activateUsedWorlds(link) > 0);
    char note[96];
    std::snprintf(note, sizeof note, "c witness worlds: %d of %d, rounds %d", enc.activeWorlds(), cs.worldN, rounds);
    sat.report(verdict, note, result);
    printTotalTime(start);
    if (opt.model && verdict == 10) writeModel(enc.decodeModel(link), names, result);
  } catch (const std::bad_alloc&) {
    IncrementalSolver::outOfMemory();
    printTotalTime(start);
  }
}

}  // namespace

void runDefaultSolve(S5clauSet& cs, const S5Options& opt, FILE* result, double start, double t1,
                     const AtomNames& names) {
  // The written CNF must be the one solved, and only the one-shot path builds one.
  if (opt.oneShot || opt.satcnf || opt.noResult) {
    runOneShot(cs, opt, result, start, t1, names);
  } else {
    runLazy(cs, opt, result, start, t1, names);
  }
}

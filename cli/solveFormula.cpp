#include "cli/solveFormula.h"

#include <new>

#include "search/lazySolve.h"
#include "cli/runLines.h"
#include "encoding/S5model.h"
#include "encoding/Trans2SAT.h"
#include "solver/cpuTime.h"
#include "cli/solverLines.h"
#include "solver/SatSolver.h"

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
void writeModel(const std::vector<std::vector<int>>& worlds, const Run& run) {
  std::fflush(stdout);
  printS5Model(worlds, run.names, run.result() != nullptr ? run.result() : stderr);
}

// Once encoded, the clause set is needed no more; on large inputs it is a
// good part of the memory the solver would otherwise share the machine with.
void releaseClauses(S5clauSet& cs) { std::vector<std::vector<S5lit>>().swap(cs.clauses); }

void solveOneShot(S5clauSet& cs, Run& run) {
  const S5Options& opt = run.options;
  Trans2SAT enc;
  enc.TranS52SAT(cs);
  printTimeLine("Tran2SAT_time(ms):", cpuTime() - run.normalFormDone);
  writeS5NF(cs, opt);
  if (opt.satcnf) writeOptionalFile(opt.satcnfFile, [&](FILE* f) { enc.printSATclau(f); });
  if (opt.noResult) {
    if (opt.model)
      std::fprintf(stderr, "-no-result option must be canceled or the solver will not return a model\n");
    return;
  }
  releaseClauses(cs);
  try {
    SignalControl control(SolverLines::Printed);
    SatSolver sat(control, SolverLines::Printed);
    announceSolver();
    sat.addAll(enc.satClauses);
    Verdict verdict = sat.solve();
    reportSolver(sat, true, verdict, nullptr, run.result());
    printTotalTime(run.start);
    if (opt.model && verdict == Verdict::Sat) writeModel(enc.decodeModel([&](int v) { return sat.isTrue(v); }), run);
  } catch (const std::bad_alloc&) {
    reportSolverOutOfMemory();
    printTotalTime(run.start);
  }
}

void solveWithLazyWorlds(S5clauSet& cs, Run& run) {
  try {
    SignalControl control(SolverLines::Printed);
    SatSolver sat(control, SolverLines::Printed, GateHints::On);
    LazyOutcome out = solveLazily(cs, sat, [&] {
      printTimeLine("Tran2SAT_time(ms):", cpuTime() - run.normalFormDone);
      writeS5NF(cs, run.options);
      releaseClauses(cs);
    });
    char note[96];
    std::snprintf(note, sizeof note, "c witness worlds: %d of %d, rounds %d", out.activeWorlds, cs.worldN, out.rounds);
    reportSolver(sat, false, out.verdict, note, run.result());
    printTotalTime(run.start);
    if (run.options.model && out.verdict == Verdict::Sat) writeModel(out.model, run);
  } catch (const std::bad_alloc&) {
    reportSolverOutOfMemory();
    printTotalTime(run.start);
  }
}

}  // namespace

void solveFormula(S5clauSet& cs, Run& run) {
  // The written CNF must be the one solved, and only the one-shot path builds one.
  const S5Options& opt = run.options;
  if (opt.oneShot || opt.satcnf || opt.noResult)
    solveOneShot(cs, run);
  else
    solveWithLazyWorlds(cs, run);
}

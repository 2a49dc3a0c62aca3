#include "driver/defaultSolve.h"

#include "driver/runLines.h"
#include "encoding/Trans2SAT.h"
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

}  // namespace

void runDefaultSolve(S5clauSet& cs, const S5Options& opt, FILE* result, double start, double t1,
                     const AtomNames& names) {
  Trans2SAT enc;
  enc.TranS52SAT(cs);
  printTimeLine("Tran2SAT_time(ms):", cpuTime() - t1);
  if (opt.s5nf) writeOptionalFile(opt.s5nfFile, [&](FILE* f) { cs.printClauSet(f); });
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
  if (opt.model && verdict == 10) {
    std::fflush(stdout);
    enc.model2S5(sat.satModel, names, result != nullptr ? result : stderr);
    if (result != nullptr) std::fclose(result);
  }
}

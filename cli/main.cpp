// Tarvel: decides S5 satisfiability of one formula.
#include <sys/stat.h>

#include <cstdio>
#include <new>
#include <string>

#include "clauseset/S5clauSet.h"
#include "cli/S5Options.h"
#include "cli/Run.h"
#include "cli/minimalSearch.h"
#include "cli/runLines.h"
#include "cli/solveFormula.h"
#include "frontend/FrontEndError.h"
#include "frontend/Parser.h"
#include "frontend/S5NFTrans.h"
#include "cli/solverLines.h"
#include "solver/cpuTime.h"

namespace {

// A minimal-model run also reports the one world a formula equivalent to
// true needs, as the searches do.
int answerConstant(NormalForm reduced, const Run& run) {
  bool isTrue = reduced == NormalForm::ReducedToTrue;
  Verdict verdict = isTrue ? Verdict::Sat : Verdict::Unsat;
  std::printf("c Solved in transforming into S5-NF process..\n");
  std::printf("c The S5 formula can be reduced as %s.\n", isTrue ? "true" : "false");
  std::printf("%s\n", statusLine(verdict));
  if (isTrue && run.options.isMinimal()) std::printf("c Minimal model: 1 \n");
  printTotalTime(run.start, isTrue ? 64 : 65);
  writeWord(run.result(), verdict);
  return 0;
}

// An error line reaches the user before the run ends.
void printLine(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

bool isDirectory(FILE* f) {
  struct stat st;
  return fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode);
}

// The syntax tree and the naming tables of the reduction are not needed past
// the normal form; on large inputs they hold much of the memory.
NormalForm reduceToNormalForm(S5clauSet& cs, ASTNode* root, NodeArena& arena) {
  S5NFTrans trans;
  NormalForm reduced = trans.trans2NF(cs, root);
  arena.release();
  if (reduced == NormalForm::Failed) printLine(trans.error.line());
  return reduced;
}

int run(int argc, char** argv) {
  S5Options opt;
  opt.parseS5Options(argc, argv, true);

  // Errors in the file arguments end the run before any file is written: a
  // directory holds no formula (and standard input is no stand-in for it), and
  // a verdict with nowhere to go would look like a silent success.
  const char* inputName = argc > 1 ? argv[1] : "(none)";
  FILE* input = argc > 1 ? std::fopen(inputName, "rt") : nullptr;
  if (input != nullptr && isDirectory(input)) {
    std::printf("Can't open input file %s: it is a directory\n", inputName);
    return 1;
  }
  FILE* result = argc > 2 ? std::fopen(argv[argc - 1], "wb") : nullptr;
  if (argc > 2 && result == nullptr) {
    std::printf("Can't open result file %s\n", argv[argc - 1]);
    return 1;
  }
  if (input == nullptr) std::printf("Can't open input file %s\n", inputName);

  Run run(opt, result, argv[0]);
  run.start = cpuTime();
  NodeArena arena;
  NodeArena::Scope inThisThread(arena);
  ASTNode* root = nullptr;
  SyntaxError syntaxError;
  bool parsed = parseFormula(input != nullptr ? input : stdin, root, run.names, syntaxError);
  if (input != nullptr) std::fclose(input);
  if (!parsed) {
    printLine(syntaxError.message);
    return 1;
  }

  S5clauSet cs;
  NormalForm reduced = reduceToNormalForm(cs, root, arena);
  if (reduced == NormalForm::Failed) return 1;
  run.normalFormDone = cpuTime();
  printTimeLine("Tran2S5NF_time(ms):", run.normalFormDone - run.start);
  printAtomNames(run.names);  // the S5-NF and CNF files hold the internal numbers
  if (reduced != NormalForm::Clauses) return answerConstant(reduced, run);

  if (opt.classicBound)
    cs.decideClassicWorldN();
  else
    cs.decideWorldN();
  std::printf("c possible worlds:  %d     \n", cs.worldN);
  std::fflush(stdout);
  if (opt.isMinimal()) return runMinimalSearch(cs, run);
  solveFormula(cs, run);
  return 0;
}

}  // namespace

// Distribution and equivalences can grow a formula exponentially; running out
// of memory then ends the run with a message instead of an abort.
int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    printLine(errorLine(900, "Out of memory!"));
    return 1;
  }
}

// The solver bridge on clause lists the encoder never makes (empty lists,
// empty clauses, unused variables), and the state it leaves for a late interrupt.
#include <gtest/gtest.h>

#include <csignal>

#include "solver/SatSolver.h"
#include "tests/InProcess.h"

namespace {

TEST(Solver, VerdictWordsModelAndCleanState) {
  struct Case {
    std::vector<std::vector<int>> clauses;
    int code;
    const char *word, *status;
    std::vector<int> model;
  } cases[] = {
      {{}, 10, "SAT\n", "\ns SATISFIABLE\n", {}},
      {{{0}}, 20, "UNSAT\n", "\ns UNSATISFIABLE\n", {}},
      {{{5, 0}}, 10, "SAT\n", "\ns SATISFIABLE\n", {-1, -2, -3, -4, 5}},
      {{{1, 0}, {-1, 0}}, 20, "UNSAT\n", "\ns UNSATISFIABLE\n", {}},
      {{{1, 2, 0}, {-1, 0}, {-2, 1, 0}}, 20, "UNSAT\n", "\ns UNSATISFIABLE\n", {}},
  };
  for (const Case& c : cases) {
    SatSolver sat;
    ClauseList list = clauseList(c.clauses);
    testing::internal::CaptureStdout();
    std::string word = printedBy([&](FILE* f) { EXPECT_EQ(sat.Solve(list, f), c.code); });
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(word, c.word);
    EXPECT_EQ(out.rfind("c The SAT-Solver CaDiCaL ", 0), 0u) << out;
    EXPECT_NE(out.find(c.status), std::string::npos) << out;
    EXPECT_EQ(sat.satModel, c.model);
    EXPECT_EQ(solver, nullptr);
    EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_DFL);
  }
}

}  // namespace

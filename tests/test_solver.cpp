// The solver bridge on clause lists the encoder never makes (empty lists,
// empty clauses, unused variables), and the state it leaves for a late
// interrupt. Assumptions, which hold for one solve only, are the library's
// checks and the minimal modes' world counts, checked against brute force.
#include <gtest/gtest.h>

#include <csignal>

#include "cli/solverLines.h"
#include "solver/SatSolver.h"
#include "tests/InProcess.h"

namespace {

TEST(Solver, VerdictWordsModelAndCleanState) {
  struct Case {
    std::vector<std::vector<int>> clauses;
    Verdict code;
    const char *word, *status;
    std::vector<int> model;
  } cases[] = {
      {{}, Verdict::Sat, "SAT\n", "\ns SATISFIABLE\n", {}},
      {{{0}}, Verdict::Unsat, "UNSAT\n", "\ns UNSATISFIABLE\n", {}},
      {{{5, 0}}, Verdict::Sat, "SAT\n", "\ns SATISFIABLE\n", {-1, -2, -3, -4, 5}},
      {{{1, 0}, {-1, 0}}, Verdict::Unsat, "UNSAT\n", "\ns UNSATISFIABLE\n", {}},
      {{{1, 2, 0}, {-1, 0}, {-2, 1, 0}}, Verdict::Unsat, "UNSAT\n", "\ns UNSATISFIABLE\n", {}},
  };
  for (const Case& c : cases) {
    std::vector<int> model;
    testing::internal::CaptureStdout();
    std::string word = printedBy([&](FILE* f) {
      SignalControl control(SolverLines::Printed);
      SatSolver sat(control, SolverLines::Printed);
      announceSolver();
      ClauseList list = clauseList(c.clauses);
      sat.addAll(list);
      Verdict verdict = sat.solve();
      EXPECT_EQ(verdict, c.code);
      reportSolver(sat, true, verdict, nullptr, f);
      for (size_t v = 1; verdict == Verdict::Sat && v <= c.model.size(); v++)
        model.push_back(sat.isTrue(static_cast<int>(v)) ? static_cast<int>(v) : -static_cast<int>(v));
    });
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(word, c.word);
    EXPECT_EQ(out.rfind("c The SAT-Solver CaDiCaL ", 0), 0u) << out;
    EXPECT_NE(out.find(c.status), std::string::npos) << out;
    EXPECT_EQ(model, c.model);
    EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_DFL);
  }
}

}  // namespace

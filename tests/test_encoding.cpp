// The partial MaxSAT file and the solver bridge.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include "encoding/Trans2SAT.h"
#include "solver/SatSolver.h"

namespace {

using Clauses = std::vector<std::vector<int>>;

// [p1, Box(-3, 2)] and [Diam(2, 4)] witnessed in world 1, with two worlds.
S5clauSet workedExample() {
  S5clauSet cs;
  cs.clauses = {{S5lit{0, {1}, -1}, S5lit{1, {-3, 2}, -1}}, {S5lit{2, {2, 4}, 1}}};
  cs.diamClauses = {1};
  cs.worldN = 2;
  return cs;
}

std::string written(const std::function<void(FILE*)>& write) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  write(f);
  std::fclose(f);
  std::string s(buf, len);
  free(buf);
  return s;
}

// The header names every variable and clause, and the top weight exceeds the
// sum of the soft weights.
TEST(Encoding, MaxSatHeaderAndTopWeight) {
  S5clauSet cs = workedExample();
  Trans2SAT enc;
  enc.TranS52P_MAX_SAT(cs);
  EXPECT_EQ(written([&](FILE* f) { enc.printMAXSATclau(f); }).substr(0, 30), "p wcnf 16 24 10\n1  -1  0  \n10 ");
  S5clauSet wide;
  wide.worldN = 12;
  Trans2SAT big;
  big.TranS52P_MAX_SAT(wide);
  EXPECT_EQ(written([&](FILE* f) { big.printMAXSATclau(f); }).substr(0, 17), "p wcnf 12 21 12\n1");
}

TEST(Solver, VerdictsWordsAndModel) {
  struct Case {
    Clauses clauses;
    int code;
    const char* word;
  } cases[] = {
      {{}, 10, "SAT\n"},
      {{{0}}, 20, "UNSAT\n"},
      {{{5, 0}}, 10, "SAT\n"},
      {{{1, 0}, {-1, 0}}, 20, "UNSAT\n"},
      {{{1, 2, 0}, {-1, 0}, {-2, 1, 0}}, 20, "UNSAT\n"},
  };
  for (auto& c : cases) {
    std::string word = written([&](FILE* f) {
      SatSolver g;
      testing::internal::CaptureStdout();
      EXPECT_EQ(g.Solve(c.clauses, f), c.code);
      std::string out = testing::internal::GetCapturedStdout();
      EXPECT_NE(out.find(c.code == 10 ? "\ns SATISFIABLE\n" : "\ns UNSATISFIABLE\n"), std::string::npos) << out;
      EXPECT_EQ(out.rfind("c The SAT-Solver CaDiCaL ", 0), 0u);
      if (c.clauses.size() == 1 && c.code == 10) {
        EXPECT_EQ(g.satModel, (std::vector<int>{-1, -2, -3, -4, 5}));
      }
      // The bridge leaves no solver behind for a late interrupt.
      EXPECT_EQ(solver, nullptr);
      EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_DFL);
    });
    EXPECT_EQ(word, c.word);
  }
}

TEST(Solver, RepeatedSolveIsSilent) {
  Clauses unsat = {{1, 0}, {-1, 2, 0}, {-2, 0}};
  Clauses sat = {{1, 2, 0}, {-1, 0}};
  std::string words = written([&](FILE* f) {
    testing::internal::CaptureStdout();
    SatSolver a, b;
    EXPECT_EQ(a.Solve1(unsat, f), 20);
    EXPECT_EQ(b.Solve1(sat, f), 10);
    EXPECT_EQ(b.satModel, (std::vector<int>{-1, 2}));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  });
  // A refutation found while simplifying writes no word.
  EXPECT_EQ(words, "SAT\n");
}

}  // namespace

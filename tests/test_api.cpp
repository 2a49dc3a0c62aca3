// The library through its public header only, checked against the
// brute-force evaluator: random call sequences, threads, long-lived use,
// interrupts and limits, parsing and printing.
#include <tarvel/tarvel.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "tests/S5Oracle.h"

namespace {

using tarvel::Formula;
using tarvel::Result;

const int kAtoms = 3;

Formula toFormula(const OFormula& f) {
  switch (f.op) {
    case OFormula::ATOM: return tarvel::atom(f.atom);
    case OFormula::TRUE: return tarvel::top();
    case OFormula::FALSE: return tarvel::bottom();
    case OFormula::NOT: return !toFormula(f.args[0]);
    case OFormula::BOX: return tarvel::box(toFormula(f.args[0]));
    case OFormula::DIA: return tarvel::diamond(toFormula(f.args[0]));
    case OFormula::AND: return toFormula(f.args[0]) && toFormula(f.args[1]);
    case OFormula::OR: return toFormula(f.args[0]) || toFormula(f.args[1]);
    case OFormula::IMPLY: return tarvel::implies(toFormula(f.args[0]), toFormula(f.args[1]));
    default: return tarvel::iff(toFormula(f.args[0]), toFormula(f.args[1]));
  }
}

OFormula conjunction(const std::vector<OFormula>& fs) {
  OFormula all{OFormula::TRUE, 0, {}};
  for (const OFormula& f : fs) all = OFormula{OFormula::AND, 0, {all, f}};
  return all;
}

// The fewest worlds of a model of all of `fs` (0: none), by brute force.
int fewest(const std::vector<OFormula>& fs) {
  return smallestModel(conjunction(fs), kAtoms, 1 << kAtoms);
}

// The model as the evaluator's worlds; world 0 first.
std::vector<World> worldsOf(const tarvel::Model& m) {
  std::vector<World> worlds;
  for (int w = 0; w < m.worldCount(); w++) {
    World v = 0;
    for (int a = 1; a <= kAtoms; a++)
      if (m.value(tarvel::atom(a), w)) v |= World(1) << (a - 1);
    worlds.push_back(v);
  }
  return worlds;
}

// The model makes every formula hold in world 0, by the evaluator and by the model itself.
void expectModelOf(const tarvel::Model& m, const std::vector<OFormula>& fs, const std::string& context) {
  std::vector<World> worlds = worldsOf(m);
  ASSERT_FALSE(worlds.empty()) << context;
  for (const OFormula& f : fs) {
    EXPECT_TRUE(holds(f, worlds, worlds[0])) << context << formulaFile(f);
    EXPECT_TRUE(m.holds(toFormula(f))) << context << formulaFile(f);
  }
}

// A random sequence of calls on one solver, every answer checked.
void runSequence(std::mt19937& rng, int calls, bool withMaxSat) {
  tarvel::Solver s;
  std::vector<std::vector<OFormula>> scopes(1);
  std::string log;
  auto live = [&] {
    std::vector<OFormula> all;
    for (const auto& scope : scopes) all.insert(all.end(), scope.begin(), scope.end());
    return all;
  };
  for (int call = 0; call < calls; call++) {
    int pick = static_cast<int>(rng() % 10);
    if (pick <= 2) {
      OFormula f = randomFormula(rng, kAtoms, 1 + static_cast<int>(rng() % 3));
      s.add(toFormula(f));
      scopes.back().push_back(f);
      log += "add " + formulaFile(f) + "\n";
    } else if (pick == 3) {
      s.push();
      scopes.emplace_back();
      log += "push\n";
    } else if (pick == 4 && scopes.size() > 1) {
      s.pop();
      scopes.pop_back();
      log += "pop\n";
    } else if (pick <= 7) {
      std::vector<OFormula> assumed;
      std::vector<Formula> assumptions;
      for (int i = static_cast<int>(rng() % 4); i > 0; i--) {
        assumed.push_back(randomFormula(rng, kAtoms, static_cast<int>(rng() % 2)));
        assumptions.push_back(toFormula(assumed.back()));
      }
      std::vector<OFormula> all = live();
      all.insert(all.end(), assumed.begin(), assumed.end());
      Result r = s.check(assumptions);
      log += "check under " + std::to_string(assumed.size()) + " assumptions\n";
      ASSERT_EQ(r, fewest(all) > 0 ? Result::Sat : Result::Unsat) << log;
      if (r == Result::Sat) {
        ASSERT_NO_FATAL_FAILURE(expectModelOf(s.model(), all, log));
        continue;
      }
      bool minimal = rng() % 2;
      std::vector<Formula> core = s.core(minimal);
      std::vector<OFormula> coreAll = live();
      for (const Formula& c : core) {
        size_t i = 0;
        while (i < assumptions.size() && assumptions[i] != c) i++;
        ASSERT_LT(i, assumptions.size()) << log << "core member not assumed";
        coreAll.push_back(assumed[i]);
      }
      EXPECT_EQ(fewest(coreAll), 0) << log << "core is satisfiable";
      for (size_t drop = 0; minimal && drop < core.size(); drop++) {
        std::vector<OFormula> fewer = coreAll;
        fewer.erase(fewer.begin() + static_cast<long>(fewer.size() - core.size() + drop));
        EXPECT_GT(fewest(fewer), 0) << log << "minimal core loses a member and stays unsatisfiable";
      }
    } else {
      static const tarvel::Search searches[] = {tarvel::Search::Ascending, tarvel::Search::Descending,
                                                tarvel::Search::Halving, tarvel::Search::MaxSat};
      int k = s.fewestWorlds(searches[rng() % (withMaxSat ? 4 : 3)]);
      log += "fewestWorlds\n";
      ASSERT_EQ(k, fewest(live())) << log;
      if (k > 0) {
        EXPECT_EQ(s.model().worldCount(), k) << log;
        ASSERT_NO_FATAL_FAILURE(expectModelOf(s.model(), live(), log));
      }
    }
  }
}

TEST(Api, RandomCallSequencesAgreeWithBruteForce) {
  std::mt19937 rng(20261209);
  // The MaxSAT search runs a child process: in the first sequences only.
  for (int i = 0; i < 1000; i++) ASSERT_NO_FATAL_FAILURE(runSequence(rng, 30, i < 60));
}

// Two Diamonds that a first check may witness in one world, then a Box
// that makes them clash: the later check must not reuse a stale grouping.
TEST(Api, LaterAdditionsThatMakeDiamondsClash) {
  Formula p1 = tarvel::atom(1), p2 = tarvel::atom(2);
  tarvel::Solver s;
  s.add(tarvel::diamond(p1) && tarvel::diamond(p2));
  ASSERT_EQ(s.check(), Result::Sat);
  EXPECT_EQ(s.fewestWorlds(), 1);
  s.add(tarvel::box(!p1 || !p2) && !p1 && !p2);
  ASSERT_EQ(s.check(), Result::Sat);
  tarvel::Model m = s.model();
  EXPECT_TRUE(m.holds(tarvel::diamond(p1) && tarvel::diamond(p2) && tarvel::box(!p1 || !p2)));
  EXPECT_EQ(s.fewestWorlds(), 3);
  EXPECT_EQ(s.model().worldCount(), 3);
}

TEST(Api, IndependentSolversInThreads) {
  std::vector<std::thread> threads;
  std::vector<int> wrong(8, 0);
  for (int t = 0; t < 8; t++)
    threads.emplace_back([t, &wrong] {
      std::mt19937 rng(1000 + t);
      for (int i = 0; i < 60; i++) {
        OFormula f = randomFormula(rng, kAtoms, 4);
        tarvel::Solver s;
        s.add(toFormula(f));
        bool sat = s.check() == Result::Sat;
        wrong[t] += sat != (fewest({f}) > 0);
        if (sat) wrong[t] += !s.model().holds(toFormula(f));
      }
    });
  for (auto& t : threads) t.join();
  for (int t = 0; t < 8; t++) EXPECT_EQ(wrong[t], 0) << "thread " << t;
}

long residentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The same 100 formulas a hundred times over: a leak grows with the rounds,
// while the allocator's high-water mark is reached in the first.
TEST(Api, MemoryStaysFlatOverManyFormulas) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers keep freed memory on purpose";
#endif
  std::mt19937 rng(77);
  std::vector<Formula> formulas;
  for (int i = 0; i < 100; i++) formulas.push_back(toFormula(randomFormula(rng, 6, 5)));
  long after100 = 0;
  for (int i = 1; i <= 10000; i++) {
    tarvel::Solver s;
    s.add(formulas[static_cast<size_t>(i % 100)]);
    s.check();
    if (i == 100) after100 = residentKilobytes();
  }
  EXPECT_LE(residentKilobytes(), after100 * 12 / 10);
}

// n pigeons into n - 1 holes, in every world: long enough to be stopped.
Formula pigeonHoles(int n) {
  auto in = [n](int pigeon, int hole) { return tarvel::atom(pigeon * n + hole + 1); };
  Formula all = tarvel::top();
  for (int p = 0; p < n; p++) {
    Formula some = tarvel::bottom();
    for (int h = 0; h < n - 1; h++) some = some || in(p, h);
    all = all && some;
  }
  for (int h = 0; h < n - 1; h++)
    for (int p = 0; p < n; p++)
      for (int q = p + 1; q < n; q++) all = all && (!in(p, h) || !in(q, h));
  return tarvel::box(all);
}

TEST(Api, StoppedChecksAnswerUnknownAndTheSolverGoesOn) {
  tarvel::Solver s;
  s.add(pigeonHoles(12));
  s.setTimeLimit(0.2);
  EXPECT_EQ(s.check(), Result::Unknown);
  s.setTimeLimit(0);
  std::thread stopper([&s] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    s.interrupt();
  });
  EXPECT_EQ(s.check(), Result::Unknown);
  stopper.join();
  Formula p1 = tarvel::atom(1);
  EXPECT_EQ(s.check({!p1, p1}), Result::Unsat);
  EXPECT_EQ(s.core().size(), 2u);
  int polls = 0;
  s.setStopPoll([&polls] { return ++polls > 1000; });
  EXPECT_EQ(s.check(), Result::Unknown);
}

TEST(Api, WrongStateCallsThrow) {
  tarvel::Solver s;
  EXPECT_THROW(s.model(), std::logic_error);
  EXPECT_THROW(s.pop(), std::logic_error);
  s.add(tarvel::atom(1));
  ASSERT_EQ(s.check(), Result::Sat);
  EXPECT_THROW(s.core(), std::logic_error);
  EXPECT_THROW(tarvel::atom(-1), std::invalid_argument);
  EXPECT_THROW(tarvel::atom(1).operand(0), std::out_of_range);
  EXPECT_THROW(s.model().holds(tarvel::atom(1), 5), std::out_of_range);
}

TEST(Api, PrintedFormulasParseBackEqual) {
  std::mt19937 rng(5);
  for (int i = 0; i < 200; i++) {
    Formula f = toFormula(randomFormula(rng, 4, 5));
    EXPECT_EQ(tarvel::parse(tarvel::to_string(f)), f) << tarvel::to_string(f);
  }
  Formula named = tarvel::atom("v7") && tarvel::atom(0);
  EXPECT_EQ(tarvel::parse("begin v7 & p0 end"), named);
  EXPECT_EQ(tarvel::parse(tarvel::to_string(named)), named);
  EXPECT_NE(tarvel::atom("3"), tarvel::atom(3));
}

// A million nested operators: built, compared, printed, parsed, decided and
// freed without running out of stack.
TEST(Api, DeepFormulasNeedNoStack) {
  Formula f = tarvel::atom(1);
  for (int i = 0; i < 1000000; i++) f = i % 3 == 0 ? !f : i % 3 == 1 ? tarvel::box(f) : tarvel::diamond(f);
  std::string text = tarvel::to_string(f);
  EXPECT_EQ(tarvel::parse(text), f);
  tarvel::Solver s;
  s.add(f);
  EXPECT_EQ(s.check(), Result::Sat);
  EXPECT_TRUE(s.model().holds(f));
}

TEST(Api, ShortcutsAnswerAsTheirDefinitions) {
  Formula p = tarvel::atom(1);
  tarvel::Model cm;
  EXPECT_TRUE(tarvel::valid(tarvel::implies(tarvel::box(p), p)));
  EXPECT_FALSE(tarvel::valid(tarvel::implies(p, tarvel::box(p)), &cm));
  ASSERT_GE(cm.worldCount(), 2);
  EXPECT_FALSE(cm.holds(tarvel::implies(p, tarvel::box(p))));
  EXPECT_TRUE(tarvel::entails({tarvel::box(p)}, p));
  EXPECT_FALSE(tarvel::entails({p}, tarvel::box(p)));
  EXPECT_TRUE(tarvel::entails({p}, tarvel::box(p), true));
  EXPECT_TRUE(tarvel::satisfiable(p && tarvel::diamond(!p)));
}

}  // namespace

// Every engine configuration on random formulas, checked against the
// brute-force S5 evaluator: its verdicts, its models on the formula, the
// fewest worlds it reports.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <optional>
#include <utility>

#include "frontend/S5NFTrans.h"
#include "search/lazySolve.h"
#include "tests/InProcess.h"
#include "tests/S5Oracle.h"
#include "tests/TestHelpers.h"

namespace {

const int kAtoms = 3;

// bench/property-check raises the number of formulas for a long run by hand.
int formulaCount(int normal) {
  const char* n = std::getenv("TARVEL_PROPERTY_COUNT");
  return n != nullptr ? std::atoi(n) : normal;
}

TEST(Oracle, KnownFormulas) {
  OFormula p{OFormula::ATOM, 1, {}};
  OFormula notP{OFormula::NOT, 0, {p}};
  OFormula diaP{OFormula::DIA, 0, {p}}, diaNotP{OFormula::DIA, 0, {notP}};
  OFormula both{OFormula::AND, 0, {diaP, diaNotP}};
  EXPECT_EQ(smallestModel(both, 1, 3), 2);
  OFormula clash{OFormula::AND, 0, {OFormula{OFormula::BOX, 0, {p}}, diaNotP}};
  EXPECT_EQ(smallestModel(clash, 1, 3), 0);
  EXPECT_EQ(smallestModel(p, 1, 1), 1);
}

// One formula as a configuration gets it: its file, and its normal form
// made in-process with the world bound run on it.
struct Subject {
  std::string text;
  S5NFTrans trans;
  S5clauSet clauses;
  NormalForm form = NormalForm::Failed;
};

// What a configuration answered.
struct Answer {
  int verdict = -1;                          // 1 SAT, 0 UNSAT, -1 neither
  std::optional<std::vector<World>> model;   // world 0 first, when one is given
  int fewest = -1;                           // the fewest worlds reported (0: UNSAT), -1 none
  int rounds = 1;                            // solves of a lazy loop
  std::string shown;                         // what it printed, for failures
};

Answer fromRun(const RunResult& r) {
  Answer a;
  a.verdict = verdictOf(r);
  a.shown = r.out + r.result;
  size_t at = r.out.find("c Minimal model: ");
  a.fewest = at != std::string::npos ? std::stoi(r.out.substr(at + 17)) : a.verdict == 0 ? 0 : -1;
  if (r.result.find("c ===== S5-model====") != std::string::npos) a.model = parseModel(r.result);
  return a;
}

std::function<Answer(const Subject&)> commandLine(std::vector<std::string> options) {
  return [options](const Subject& s) { return fromRun(runTarvel(s.text, options)); };
}

// The lazy loop in-process on the normal form; its worlds as valuations of
// the formula's atoms (those the normal form added left out).
std::function<Answer(const Subject&)> inProcess(BoxClauses boxClauses, WitnessChoice witnesses) {
  return [boxClauses, witnesses](const Subject& s) {
    Answer a;
    if (s.form != NormalForm::Clauses) {
      a.verdict = s.form == NormalForm::ReducedToTrue ? 1 : s.form == NormalForm::ReducedToFalse ? 0 : -1;
      return a;
    }
    SolveControl control;
    SatSolver solver(control, SolverLines::Silent, GateHints::On);
    LazyOutcome out = solveLazily(s.clauses, solver, [] {}, boxClauses, witnesses);
    a.verdict = out.verdict == Verdict::Sat ? 1 : out.verdict == Verdict::Unsat ? 0 : -1;
    a.rounds = out.rounds;
    if (out.verdict != Verdict::Sat) return a;
    a.model.emplace();
    for (const auto& w : out.model) {
      World v = 0;
      for (int lit : w)
        if (lit > 0 && lit <= kAtoms) v |= World(1) << (lit - 1);
      a.model->push_back(v);
    }
    return a;
  };
}

// The engine configurations. `every`: the configuration decides formula i
// when i % every == 0. `fewest`: it reports the fewest worlds, to be exact
// unless the normal form reduced the formula to a constant. `refined`: at
// least this many formulas need more than one solve.
struct Engine {
  const char* name;
  int every;
  std::function<Answer(const Subject&)> run;
  bool fewest = false;
  int refined = 0;
};
void PrintTo(const Engine& e, std::ostream* os) { *os << e.name; }

const Engine kEngines[] = {
    {"Default", 1, commandLine({"-model"})},
    {"OneShot", 2, commandLine({"-model", "-one-shot"})},
    {"ClassicBound", 4, commandLine({"-classic-bound"})},
    {"LazyBoxClauses", 1, inProcess(BoxClauses::Lazy, WitnessChoice::ByBound), false, 20},  // Box clauses only where a model violates them
    // Witness worlds chosen by the solver among candidates, as on large inputs.
    {"SharedWitnesses", 1, inProcess(BoxClauses::BySize, WitnessChoice::Shared), false, 20},
    {"SharedLazyBoxes", 2, inProcess(BoxClauses::Lazy, WitnessChoice::Shared), false, 5},
    {"Minimal1", 10, commandLine({"-minimal=1"}), true},
    {"Minimal2", 10, commandLine({"-minimal=2"}), true},
    {"Minimal3", 10, commandLine({"-minimal=3"}), true},
    {"Minimal4", 10, commandLine({"-minimal=4"}), true},  // writes maxsat.wcnf in the scratch directory
};

class Property : public testing::TestWithParam<Engine> {};

// Every third formula is far from clause form, so that the normal form names subformulas.
TEST_P(Property, AgreesWithBruteForce) {
  const Engine& e = GetParam();
  std::mt19937 rng(20261207);
  int decided = 0, sat = 0, far = 0, named = 0, refined = 0;
  for (int i = 0, n = formulaCount(1500); i < n; i++) {
    bool farForm = i % 3 == 1;
    OFormula f = farForm ? farFromClauseForm(rng, kAtoms) : randomFormula(rng, kAtoms, 2 + i % 4);
    if (i % e.every != 0) continue;
    NodeArena arena;  // the trees of one formula, freed with it
    NodeArena::Scope scope(arena);
    Subject s;
    s.text = "begin\n" + formulaFile(f) + "\nend\n";
    s.form = s.trans.trans2NF(s.clauses, parseText(s.text));
    if (s.form == NormalForm::Clauses) s.clauses.decideWorldN();
    int minimum = smallestModel(f, kAtoms, diamondCount(f) + 1);
    Answer a = e.run(s);
    ASSERT_EQ(a.verdict, minimum > 0 ? 1 : 0) << e.name << "\n" << s.text << a.shown;
    if (a.model) {
      ASSERT_FALSE(a.model->empty()) << e.name << "\n" << s.text << a.shown;
      ASSERT_TRUE(holds(f, *a.model, a.model->front())) << "model fails: " << e.name << "\n" << s.text << a.shown;
    }
    if (e.fewest && (s.form == NormalForm::Clauses || a.fewest != -1)) {
      ASSERT_EQ(a.fewest, minimum) << e.name << "\n" << s.text << a.shown;
    }
    decided++;
    sat += minimum > 0;
    far += farForm;
    named += farForm && !s.trans.namedSubformulas.empty();
    refined += a.rounds > 1;
  }
  EXPECT_GT(sat, decided / 8);
  EXPECT_GT(decided - sat, decided / 30) << "sat " << sat;
  EXPECT_GT(named, far / 2);
  EXPECT_GE(refined, e.refined) << "too few formulas needed a second solve";
}
INSTANTIATE_TEST_SUITE_P(Engines, Property, testing::ValuesIn(kEngines),
                         [](const auto& info) { return std::string(info.param.name); });

// `text` with each atom name of `names` (an occurrence not followed by a digit) replaced by its partner.
std::string renamed(std::string text, const std::vector<std::pair<std::string, std::string>>& names) {
  for (const auto& [from, to] : names)
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1))
      if (at + from.size() == text.size() || !std::isdigit(static_cast<unsigned char>(text[at + from.size()])))
        text.replace(at, from.size(), to);
  return text;
}

// p0 and vN are numbered above the largest pN (so the CNF is that of the file
// renamed by hand), the numbers are listed, and the model shows the names.
TEST(Property, AtomsP0AndVnDecideLikeTheirRenamingByHand) {
  const std::string text = "begin <r1>(p0 & ~v3) & <r1>(v3 & ~p0 & v0) & [r1](p2 | v3 | ~p0) & (p1 -> v1) & p1 end";
  const std::vector<std::pair<std::string, std::string>> byHand = {{"p0", "p3"}, {"v3", "p4"}, {"v0", "p5"}, {"v1", "p6"}};
  std::string cnf = scratchDir() + "/renamed.cnf", cnfByHand = scratchDir() + "/byhand.cnf";
  RunResult r = runTarvel(text, {"-model", "-satcnf=" + cnf});
  RunResult hand = runTarvel(renamed(text, byHand), {"-model", "-satcnf=" + cnfByHand});
  EXPECT_NE(r.out.find("c atom p0 is 3\nc atom v3 is 4\nc atom v0 is 5\nc atom v1 is 6\nc possible worlds:  3 "),
            std::string::npos) << r.out;
  EXPECT_EQ(hand.out.find("c atom"), std::string::npos);
  EXPECT_EQ(readFile(cnf), readFile(cnfByHand));
  ASSERT_EQ(verdictOf(r), 1) << r.out;
  EXPECT_NE(r.result.find(" -v3"), std::string::npos) << r.result;
  EXPECT_EQ(renamed(r.result, byHand), hand.result);
  std::vector<World> worlds = parseModel(renamed(r.result, byHand));
  ASSERT_FALSE(worlds.empty()) << r.result;
  EXPECT_TRUE(holds(oracleFormula(parseText(renamed(text, byHand))), worlds, worlds[0])) << r.result;
}

}  // namespace

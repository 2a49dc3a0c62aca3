// Verdicts checked against an independent S5 evaluator on random formulas.
#include <gtest/gtest.h>

#include <cctype>
#include <utility>

#include "frontend/S5NFTrans.h"
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

std::string wrap(const OFormula& f) { return "begin\n" + formulaFile(f) + "\nend\n"; }

const char* const kMinimalModes[] = {"-minimal=1", "-minimal=2", "-minimal=3", "-minimal=4"};

bool said(const RunResult& r, const std::string& status) {
  return r.out.find("\n" + status + "\n") != std::string::npos || r.out.rfind(status + "\n", 0) == 0;
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

// The verdict of one run against the fewest worlds (0: unsatisfiable), and its model on the formula.
void expectVerdictAndModel(const OFormula& f, const std::string& text, const RunResult& r, int minimum) {
  ASSERT_EQ(r.status, 0) << text << r.out;
  if (!said(r, "s SATISFIABLE")) {
    ASSERT_TRUE(said(r, "s UNSATISFIABLE")) << text << r.out;
    ASSERT_EQ(minimum, 0) << "UNSAT claimed for a satisfiable formula:\n" << text;
    return;
  }
  ASSERT_GT(minimum, 0) << "SAT claimed for an unsatisfiable formula:\n" << text;
  if (r.result.find("c ===== S5-model====") == std::string::npos) return;  // reduced to true
  bool ok = false;
  std::vector<World> worlds = parseModel(r.result, ok);
  ASSERT_TRUE(ok) << r.result;
  ASSERT_TRUE(holds(f, worlds, worlds[0])) << "model fails:\n" << text << r.result;
}

TEST(Property, VerdictsAgreeWithBruteForceAndModelsCheck) {
  std::mt19937 rng(20261207);
  int sat = 0, unsat = 0;
  for (int i = 0, n = formulaCount(1200); i < n; i++) {
    OFormula f = randomFormula(rng, kAtoms, 2 + i % 4);
    std::string text = wrap(f);
    int minimum = smallestModel(f, kAtoms, diamondCount(f) + 1);
    RunResult r = runTarvel(text, {"-model"});
    ASSERT_NO_FATAL_FAILURE(expectVerdictAndModel(f, text, r, minimum));
    (minimum > 0 ? sat : unsat)++;
    // Every other formula also through the one-shot path, every fourth with the classic bound.
    if (i % 2 == 0) {
      ASSERT_NO_FATAL_FAILURE(expectVerdictAndModel(f, text, runTarvel(text, {"-model", "-one-shot"}), minimum));
    }
    if (i % 4 == 0) {
      ASSERT_NO_FATAL_FAILURE(expectVerdictAndModel(f, text, runTarvel(text, {"-classic-bound"}), minimum));
    }
  }
  EXPECT_GT(sat, formulaCount(1200) / 8);
  EXPECT_GT(unsat, formulaCount(1200) / 30) << "sat " << sat;
}

// The fewest worlds a minimal mode reports: 0 for unsatisfiable, -1 for no answer.
int reportedMinimum(const RunResult& r) {
  size_t at = r.out.find("c Minimal model: ");
  if (at == std::string::npos) return said(r, "s UNSATISFIABLE ") || said(r, "s UNSATISFIABLE") ? 0 : -1;
  return std::stoi(r.out.substr(at + 17));
}

// Formulas whose normal form names subformulas: every verdict against brute
// force, every model on the formula, the one-shot path on every other one,
// the fewest worlds of one minimal mode (in turn) on every third one.
TEST(Property, NamedSubformulasKeepVerdictsAndModels) {
  std::mt19937 rng(20261208);
  std::string dir = scratchDir() + "/named";  // mode 4 writes maxsat.wcnf where it runs
  mkdir(dir.c_str(), 0755);
  int named = 0, sat = 0, n = formulaCount(1200) / 4;
  for (int i = 0; i < n; i++) {
    OFormula f = farFromClauseForm(rng, kAtoms);
    std::string text = wrap(f);
    S5NFTrans trans;
    S5clauSet clauses;
    trans.trans2NF(clauses, parseText(text));
    named += !trans.namedSubformulas.empty();
    int minimum = smallestModel(f, kAtoms, diamondCount(f) + 1);
    ASSERT_NO_FATAL_FAILURE(expectVerdictAndModel(f, text, runTarvel(text, {"-model"}), minimum));
    if (i % 2 == 0) {
      ASSERT_NO_FATAL_FAILURE(expectVerdictAndModel(f, text, runTarvel(text, {"-model", "-one-shot"}), minimum));
    }
    if (i % 3 == 0) {
      const char* mode = kMinimalModes[(i / 3) % 4];
      writeFile(dir + "/f.txt", text);
      RunResult m = runArgs({mode, dir + "/f.txt"}, dir);
      ASSERT_EQ(reportedMinimum(m), minimum) << mode << "\n" << text << m.out;
    }
    sat += minimum > 0;
  }
  EXPECT_GT(named, n / 2);
  EXPECT_GT(sat, n / 8);
  EXPECT_GT(n - sat, n / 12) << sat;
}

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
  ASSERT_TRUE(said(r, "s SATISFIABLE")) << r.out;
  EXPECT_NE(r.result.find(" -v3"), std::string::npos) << r.result;
  EXPECT_EQ(renamed(r.result, byHand), hand.result);
  bool ok = false;
  std::vector<World> worlds = parseModel(renamed(r.result, byHand), ok);
  ASSERT_TRUE(ok) << r.result;
  EXPECT_TRUE(holds(oracleFormula(parseText(renamed(text, byHand))), worlds, worlds[0])) << r.result;
}

TEST(Property, AllMinimalModesFindTheFewestWorlds) {
  std::mt19937 rng(7);
  std::string dir = scratchDir() + "/minimal";
  mkdir(dir.c_str(), 0755);
  for (int i = 0, n = formulaCount(1200) / 8; i < n; i++) {
    OFormula f = randomFormula(rng, 3, 3 + i % 2);
    std::string text = wrap(f);
    std::string file = dir + "/f.txt";
    writeFile(file, text);
    RunResult plain = runArgs({file}, dir);
    if (plain.out.find("c possible worlds:") == std::string::npos) continue;  // reduced to a constant
    int expected = smallestModel(f, 3, diamondCount(f) + 1);
    EXPECT_EQ(said(plain, "s SATISFIABLE"), expected > 0) << text;
    for (const char* mode : kMinimalModes) {
      RunResult r = runArgs({mode, file}, dir);
      ASSERT_EQ(r.status, 0) << mode << "\n" << text << r.out;
      ASSERT_EQ(reportedMinimum(r), expected) << mode << "\n" << text << r.out;
    }
  }
}

}  // namespace

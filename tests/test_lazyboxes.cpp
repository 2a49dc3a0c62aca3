// Box clauses added only where a model violates them: the same verdicts as
// brute force, and every model, though built from fewer clauses, holds on
// the whole formula.
#include <gtest/gtest.h>

#include "search/lazySolve.h"
#include "frontend/S5NFTrans.h"
#include "tests/InProcess.h"
#include "tests/S5Oracle.h"

namespace {

const int kAtoms = 3;

// The decoded worlds as oracle valuations of atoms 1 .. kAtoms; atoms the
// normal form added are left out.
std::vector<World> valuations(const std::vector<std::vector<int>>& worlds) {
  std::vector<World> out;
  for (const auto& w : worlds) {
    World v = 0;
    for (int lit : w)
      if (lit > 0 && lit <= kAtoms) v |= World(1) << (lit - 1);
    out.push_back(v);
  }
  return out;
}

TEST(LazyBoxes, VerdictsAgreeWithBruteForceAndModelsHold) {
  std::mt19937 rng(20261209);
  int sat = 0, unsat = 0, refinedByBoxes = 0;
  for (int i = 0; i < 1500; i++) {
    OFormula f = i % 3 == 0 ? farFromClauseForm(rng, kAtoms) : randomFormula(rng, kAtoms, 2 + i % 4);
    std::string text = "begin\n" + formulaFile(f) + "\nend\n";
    S5NFTrans trans;
    S5clauSet cs;
    if (trans.trans2NF(cs, parseText(text)) != NormalForm::Clauses) continue;
    cs.decideWorldN();
    int minimum = smallestModel(f, kAtoms, diamondCount(f) + 1);
    SolveControl control;
    SatSolver solver(control, SolverLines::Silent, GateHints::On);
    LazyOutcome out = solveLazily(cs, solver, [] {}, BoxClauses::Lazy);
    ASSERT_EQ(out.verdict, minimum > 0 ? Verdict::Sat : Verdict::Unsat) << text;
    if (out.verdict == Verdict::Unsat) {
      unsat++;
      continue;
    }
    sat++;
    refinedByBoxes += out.rounds > 1;
    std::vector<World> worlds = valuations(out.model);
    ASSERT_TRUE(holds(f, worlds, worlds[0])) << "model fails:\n" << text;
  }
  EXPECT_GT(sat, 150);
  EXPECT_GT(unsat, 50);
  EXPECT_GT(refinedByBoxes, 20) << "too few formulas needed a second round";
}

}  // namespace

// The propositional passes: the rewrites on small cases, and on
// random formulas the S5 oracle compares truth before and after.
#include <gtest/gtest.h>

#include "frontend/S5NFTrans.h"
#include "tests/FormulaText.h"

namespace {

ASTNode* normalised(const std::string& formula, S5NFTrans& trans) {
  ASTNode* root = parseText("begin " + formula + " end");
  trans.removeImply(root);
  trans.trans2NNF(root);
  trans.removeTF(root);
  return root;
}

std::string normalisedText(const std::string& formula) {
  S5NFTrans trans;
  return formulaText(normalised(formula, trans));
}

// True when both hold in the same worlds of every S5 model over p1..p3.
bool sameMeaning(const OFormula& a, const OFormula& b) {
  for (unsigned model = 1; model < 256; model++) {
    std::vector<World> worlds;
    for (World w = 0; w < 8; w++)
      if (model >> w & 1) worlds.push_back(w);
    for (World w : worlds)
      if (holds(a, worlds, w) != holds(b, worlds, w)) return false;
  }
  return true;
}

// The shape every later stage relies on.
void expectNormalShape(ASTNode* root, const std::string& formula) {
  ASSERT_EQ(root->type, NT_ROOT);
  ASSERT_NE(root->left, nullptr);
  ASSERT_EQ(root->left->parent, root);
  bool constantFormula = root->left->type == NT_TRUE || root->left->type == NT_FALSE;
  for (ASTNode* n : subtreeNodes(root)) {
    EXPECT_NE(n->type, NT_IMPLY) << formula;
    EXPECT_NE(n->type, NT_IFF) << formula;
    if (n->type == NT_NOT) {
      EXPECT_EQ(n->left->type, NT_ATOM) << formula;
    }
    if ((n->type == NT_TRUE || n->type == NT_FALSE) && !constantFormula) {
      ADD_FAILURE() << "constant left in " << formula;
    }
    for (ASTNode* c : {n->left, n->right}) {
      if (!c) continue;
      EXPECT_EQ(c->parent, n) << formula;
    }
  }
}

}  // namespace

TEST(RemoveImply, ImplicationAndEquivalence) {
  EXPECT_EQ(normalisedText("p1 -> p2"), "(~p1 | p2)");
  EXPECT_EQ(normalisedText("p1 -> p2 -> p3"), "((p1 & ~p2) | p3)");
  EXPECT_EQ(normalisedText("p1 <-> p2"), "((~p1 | p2) & (~p2 | p1))");
  // Copies are made before the operands are rewritten, so both halves match.
  EXPECT_EQ(normalisedText("(p1 -> p2) <-> p3"),
            "(((p1 & ~p2) | p3) & (~p3 | (~p1 | p2)))");
}

TEST(Trans2NNF, NegationsReachTheAtoms) {
  EXPECT_EQ(normalisedText("~(p1 & [r1]p2)"), "(~p1 | <>~p2)");
  EXPECT_EQ(normalisedText("~<r1>p1"), "[]~p1");
  EXPECT_EQ(normalisedText("~~~p1"), "~p1");
  EXPECT_EQ(normalisedText("~~p1"), "p1");
  EXPECT_EQ(normalisedText("~[r1]~<r1>~(p1 | ~p2)"), "<><>(~p1 & p2)");
  EXPECT_EQ(normalisedText("~(p1 <-> p2)"), "((p1 & ~p2) | (p2 & ~p1))");
}

TEST(RemoveTF, ConstantsPropagateOrVanish) {
  const std::pair<const char*, const char*> cases[] = {
      {"true & p1", "p1"},
      {"false | p1", "p1"},
      {"[r1]false", "F"},
      {"<r1>false", "F"},
      {"<r1>true", "T"},
      {"~true", "F"},
      {"~false", "T"},
      {"p1 & ~true", "F"},
      {"p1 | <r1>[r1]true", "T"},
      {"(false & true) | p1", "p1"},
      {"(true & false) | p1", "p1"},
      {"", "F"},
      {"p1 -> ", "~p1"},
      {"p1 & (p2 | true) & [r1](p3 | false)", "(p1 & []p3)"},
  };
  for (const auto& [formula, expected] : cases) EXPECT_EQ(normalisedText(formula), expected) << formula;
}

TEST(Normalise, RandomFormulasKeepTheirS5Meaning) {
  OFormula p1{OFormula::ATOM, 1, {}};
  ASSERT_FALSE(sameMeaning(p1, OFormula{OFormula::DIA, 0, {p1}}));
  std::mt19937 rng(20240611);
  for (int round = 0; round < 1500; round++) {
    OFormula before = randomFormula(rng, 3, 1 + round % 5);
    std::string formula = formulaFile(before);
    ASTNode* root = parseText("begin " + formula + " end");
    S5NFTrans trans;
    trans.removeImply(root);
    trans.trans2NNF(root);
    trans.removeTF(root);
    EXPECT_TRUE(sameMeaning(oracleFormula(root), before)) << formula << "  became  " << formulaText(root);
    EXPECT_EQ(trans.maxAtom, largestAtom(before)) << formula;
    expectNormalShape(root, formula);
  }
}

TEST(Normalise, DeepTreesInLinearTime) {
  const int depth = 100000;
  std::string prefix, suffix;
  for (int i = 0; i < depth; i++) {
    prefix += (i % 3 == 0) ? "~(" : (i % 3 == 1) ? "[r1](p1 -> " : "<r1>(p2 & ";
    suffix += ")";
  }
  // The equivalence copies the whole deep operand.
  S5NFTrans trans;
  ASTNode* root = normalised("p4 <-> " + prefix + "p3" + suffix, trans);
  EXPECT_EQ(trans.maxAtom, 4);
  expectNormalShape(root, "deep chain");

  S5NFTrans constants;
  std::string boxes;
  for (int i = 0; i < depth; i++) boxes += "[r1]~<r1>";
  EXPECT_EQ(formulaText(normalised(boxes + "false & p1", constants)), "F");
}

// The propositional passes: the specified rewrites on small cases, and on
// random formulas an S5 evaluator that compares truth before and after.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <unordered_map>

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

// Truth of a formula in every S5 model over atoms p1..p3. A world is a
// valuation (bit i-1 holds p_i), a model is a nonempty set of worlds given as
// a bitmask over the eight valuations, and a node's truth in a model is the
// mask of worlds where it holds. Every world sees every world, so Box means
// "in all worlds of the model" and Diamond "in some world".
using TruthTable = std::array<uint8_t, 255>;

uint8_t nodeTruth(const ASTNode* n, uint8_t model, uint8_t l, uint8_t r) {
  uint8_t m = 0;
  switch (n->type) {
    case NT_ATOM:
      for (int w = 0; w < 8; w++)
        if (w >> (n->atom - 1) & 1) m |= 1 << w;
      break;
    case NT_TRUE: m = 0xff; break;
    case NT_FALSE: m = 0; break;
    case NT_ROOT: m = l; break;
    case NT_NOT: m = ~l; break;
    case NT_AND: m = l & r; break;
    case NT_OR: m = l | r; break;
    case NT_IMPLY: m = ~l | r; break;
    case NT_IFF: m = ~(l ^ r); break;
    case NT_BOX: m = ((l & model) == model) ? 0xff : 0; break;
    case NT_DIAMOND: m = (l & model) ? 0xff : 0; break;
  }
  return m & model;
}

TruthTable truthTable(ASTNode* root) {
  std::vector<ASTNode*> order = subtreeNodes(root);
  std::unordered_map<ASTNode*, TruthTable> truth;
  // Reverse pre-order meets every child before its parent.
  for (size_t i = order.size(); i-- > 0;) {
    ASTNode* n = order[i];
    TruthTable none{};
    const TruthTable& l = n->left ? truth[n->left] : none;
    const TruthTable& r = n->right ? truth[n->right] : none;
    TruthTable t;
    for (int model = 1; model < 256; model++)
      t[model - 1] = nodeTruth(n, static_cast<uint8_t>(model), l[model - 1], r[model - 1]);
    truth[n] = t;
  }
  return truth[root];
}

// A random formula text over p1..p3, built bottom-up from a pool of parts.
std::string randomFormula(std::mt19937& rng) {
  const char* leaves[] = {"p1", "p2", "p3", "true", "false", "()"};
  const char* prefixes[] = {"~", "[r1]", "<r1>"};
  const char* infixes[] = {" & ", " | ", " -> ", " <-> "};
  std::vector<std::string> pool;
  int leafCount = 1 + rng() % 6;
  for (int i = 0; i < leafCount; i++) pool.push_back(leaves[rng() % 6]);
  while (pool.size() > 1 || rng() % 3 == 0) {
    size_t i = rng() % pool.size();
    if (pool.size() == 1 || rng() % 3 == 0) {
      pool[i] = std::string(prefixes[rng() % 3]) + "(" + pool[i] + ")";
      continue;
    }
    size_t j = (i + 1 + rng() % (pool.size() - 1)) % pool.size();
    std::string joined = "(" + pool[i] + infixes[rng() % 4] + pool[j] + ")";
    pool[i] = joined;
    pool.erase(pool.begin() + static_cast<long>(j));
  }
  return pool[0];
}

int largestAtom(ASTNode* root) {
  int largest = 0;
  for (ASTNode* n : subtreeNodes(root))
    if (n->type == NT_ATOM) largest = std::max(largest, n->atom);
  return largest;
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
  S5NFTrans trans;
  ASTNode* root = parseText("begin p1 <-> p2 end");
  ASTNode* p1 = root->left->left;
  ASTNode* p2 = root->left->right;
  trans.removeImply(root);
  EXPECT_EQ(formulaText(root), "((~p1 | p2) & (~p2 | p1))");
  // The first conjunct keeps the operands, the second holds fresh copies.
  EXPECT_EQ(root->left->left->left->left, p1);
  EXPECT_EQ(root->left->left->right, p2);
  EXPECT_NE(root->left->right->left->left, p2);
  EXPECT_NE(root->left->right->right, p1);
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

TEST(Trans2NNF, MaxAtomIsTheLargestAtomNumber) {
  S5NFTrans trans;
  normalised("p3 & p12 -> p5", trans);
  EXPECT_EQ(trans.maxAtom, 12);
  S5NFTrans constant;
  normalised("true", constant);
  EXPECT_EQ(constant.maxAtom, 0);
  // Atoms that the constants remove still count.
  S5NFTrans vanished;
  EXPECT_EQ(formulaText(normalised("p2 | (p40 & false)", vanished)), "p2");
  EXPECT_EQ(vanished.maxAtom, 40);
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

TEST(RemoveTF, ConstantUnderAConnectiveItCannotReadIsReported) {
  const std::pair<const char*, const char*> cases[] = {
      {"begin true -> p1 end", "* Error(236): Invalid parent type!\n"},
      {"begin p1 <-> false end", "* Error(271): Invalid parent type!\n"},
  };
  for (const auto& [text, message] : cases) {
    S5NFTrans trans;
    ASTNode* root = parseText(text);
    testing::internal::CaptureStdout();
    trans.removeTF(root);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), message);
    EXPECT_TRUE(root->left->type == NT_IMPLY || root->left->type == NT_IFF);
  }
}

TEST(GetTFVector, ConstantsInBreadthFirstOrder) {
  ASTNode* root = parseText("begin (true & (false | p1)) | [r1]true end");
  ASTNode* innerTrue = root->left->left->left;
  ASTNode* innerFalse = root->left->left->right->left;
  ASTNode* boxedTrue = root->left->right->left;
  std::vector<ASTNode*> expected{innerTrue, boxedTrue, innerFalse};
  EXPECT_EQ(getTFVector(root), expected);
  EXPECT_TRUE(getTFVector(parseText("begin p1 & ~p2 end")).empty());
}

TEST(Normalise, NullTreeIsANoOp) {
  S5NFTrans trans;
  trans.removeImply(nullptr);
  trans.trans2NNF(nullptr);
  trans.removeTF(nullptr);
  EXPECT_EQ(trans.maxAtom, 0);
}

TEST(Normalise, RandomFormulasKeepTheirS5Meaning) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 1500; round++) {
    std::string formula = randomFormula(rng);
    ASTNode* root = parseText("begin " + formula + " end");
    TruthTable before = truthTable(root);
    int largest = largestAtom(root);
    S5NFTrans trans;
    trans.removeImply(root);
    trans.trans2NNF(root);
    trans.removeTF(root);
    EXPECT_TRUE(truthTable(root) == before) << formula << "  became  " << formulaText(root);
    EXPECT_EQ(trans.maxAtom, largest) << formula;
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
  S5NFTrans trans;
  ASTNode* root = normalised(prefix + "p3" + suffix, trans);
  EXPECT_EQ(trans.maxAtom, 3);
  expectNormalShape(root, "deep chain");

  S5NFTrans constants;
  std::string boxes;
  for (int i = 0; i < depth; i++) boxes += "[r1]~<r1>";
  EXPECT_EQ(formulaText(normalised(boxes + "false & p1", constants)), "F");
}

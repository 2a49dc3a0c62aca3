// The passes on trees 100 000 levels deep, which the whole pipeline cannot
// finish (their normal form is exponential): no pass may recurse per level.
#include <gtest/gtest.h>

#include "frontend/S5shape.h"
#include "frontend/S5NFTrans.h"
#include "tests/InProcess.h"

namespace {

const int kDepth = 100000;

std::string nested(const char* const (&openers)[3], const std::string& inner) {
  std::string text;
  for (int i = 0; i < kDepth; i++) text += openers[i % 3];
  return text + inner + std::string(kDepth, ')');
}

ASTNode* normalised(const std::string& formula, S5NFTrans& trans) {
  ASTNode* root = parseText("begin " + formula + " end");
  trans.removeImply(root);
  trans.trans2NNF(root);
  trans.removeTF(root);
  return root;
}

TEST(DeepTrees, PropositionalPasses) {
  // The equivalence copies the whole deep operand.
  S5NFTrans trans;
  ASTNode* root = normalised("p4 <-> " + nested({"~(", "[r1](p1 -> ", "<r1>(p2 & "}, "p3"), trans);
  EXPECT_EQ(trans.maxAtom, 4);
  size_t nodes = 0;
  for (ASTNode* n : subtreeNodes(root)) {
    ASSERT_NE(n->type, NT_IMPLY);
    ASSERT_NE(n->type, NT_IFF);
    if (n->type == NT_NOT) {
      ASSERT_EQ(n->left->type, NT_ATOM);
    }
    nodes++;
  }
  EXPECT_GT(nodes, 4u * kDepth);
  std::string boxes;
  for (int i = 0; i < kDepth; i++) boxes += "[r1]~<r1>";
  S5NFTrans constants;
  EXPECT_EQ(formulaText(normalised(boxes + "false & p1", constants)), "F");
}

TEST(DeepTrees, OneReductionPass) {
  S5NFTrans trans;
  ASTNode* root = normalised(nested({"[r1](p1 | ", "<r1>(p2 & ", "~~("}, "p3"), trans);
  mbASTNode* mb = trans.trans2MultiBranchAST(root);
  EXPECT_FALSE(isS5CNF(mb));
  trans.dfsReduct(mb);
  EXPECT_EQ(mb->children.size(), 1u);
}

}  // namespace

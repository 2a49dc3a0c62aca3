// Syntax trees: exact printer output, and copies that are faithful and
// independent of their source, also on very deep trees.
#include <gtest/gtest.h>

#include <set>

#include "tests/FormulaText.h"

namespace {

std::string printedAST(ASTNode* node) {
  testing::internal::CaptureStdout();
  ASTprint(node, 0);
  return testing::internal::GetCapturedStdout();
}

std::string printedMb(mbASTNode* node) {
  testing::internal::CaptureStdout();
  mbASTprint(node, 0);
  return testing::internal::GetCapturedStdout();
}

std::vector<mbASTNode*> mbNodes(mbASTNode* top) {
  std::vector<mbASTNode*> nodes, todo{top};
  while (!todo.empty()) {
    mbASTNode* n = todo.back();
    todo.pop_back();
    nodes.push_back(n);
    for (mbASTNode* c : n->children) todo.push_back(c);
  }
  return nodes;
}

// Every child names its holder as parent.
bool parentsConsistent(mbASTNode* top) {
  for (mbASTNode* n : mbNodes(top))
    for (mbASTNode* c : n->children)
      if (c->parent != n) return false;
  return true;
}

bool parentsConsistent(ASTNode* top) {
  for (ASTNode* n : subtreeNodes(top))
    for (ASTNode* c : {n->left, n->right})
      if (c && c->parent != n) return false;
  return true;
}

// A chain of `depth` Box nodes above one atom, under a root.
ASTNode* deepChain(int depth) {
  ASTNode* root = newASTNode(NT_ROOT);
  ASTNode* cur = root;
  for (int i = 0; i < depth; i++) {
    cur->left = newASTNode(NT_BOX);
    cur->left->parent = cur;
    cur = cur->left;
  }
  cur->left = newASTNode(NT_ATOM, 4);
  cur->left->parent = cur;
  return root;
}

}  // namespace

TEST(TreePrint, ExactLabelsAndIndentation) {
  EXPECT_EQ(printedAST(parseText("begin ([r1]<r1>p12 -> true) <-> (false | p2) end")),
            "root\n"
            "     <->  \n"
            "          ->   \n"
            "               Box  \n"
            "                    Diamo\n"
            "                         p12   \n"
            "               $T    \n"
            "          |     \n"
            "               $F    \n"
            "               p2   \n");
}

TEST(TreeCopy, AllThreeCopiesPrintLikeTheSource) {
  ASTNode* root = parseText("begin (p1 & p2) & ~(p3 -> [r1](p4 <-> <r1>false)) | true end");
  std::string original = printedAST(root);
  ASTNode* copyA = A_copySubtree(root, nullptr);
  mbASTNode* copyM1 = M_copySubtree1(root, nullptr);
  mbASTNode* copyM2 = M_copySubtree2(copyM1, nullptr);
  EXPECT_EQ(printedAST(copyA), original);
  EXPECT_EQ(printedMb(copyM1), original);
  EXPECT_EQ(printedMb(copyM2), original);
  EXPECT_TRUE(parentsConsistent(copyA));
  EXPECT_TRUE(parentsConsistent(copyM1));
  EXPECT_TRUE(parentsConsistent(copyM2));
}

TEST(TreeCopy, CopiesShareNoNodeAndChangesStayLocal) {
  ASTNode* root = parseText("begin p1 & (~p2 | [r1]p3) end");
  std::string before = formulaText(root);
  ASTNode* holder = newASTNode(NT_NOT);
  ASTNode* copy = A_copySubtree(root->left, holder);
  EXPECT_EQ(copy->parent, holder);
  std::vector<ASTNode*> srcNodes = subtreeNodes(root);
  std::set<ASTNode*> src(srcNodes.begin(), srcNodes.end());
  for (ASTNode* n : subtreeNodes(copy)) EXPECT_EQ(src.count(n), 0u);
  copy->left->atom = 9;
  copy->right->type = NT_AND;
  EXPECT_EQ(formulaText(root), before);
  EXPECT_EQ(formulaText(copy), "(p9 & (~p2 & []p3))");

  mbASTNode* mbHolder = newMbASTNode(NT_ROOT);
  mbASTNode* m1 = M_copySubtree1(root, mbHolder);
  mbASTNode* m2 = M_copySubtree2(m1, mbHolder);
  EXPECT_EQ(m1->parent, mbHolder);
  EXPECT_EQ(m2->parent, mbHolder);
  std::vector<mbASTNode*> m1Nodes = mbNodes(m1);
  std::set<mbASTNode*> m1Set(m1Nodes.begin(), m1Nodes.end());
  for (mbASTNode* n : mbNodes(m2)) EXPECT_EQ(m1Set.count(n), 0u);
  m2->children[0]->children[0]->atom = 7;
  EXPECT_EQ(m1->children[0]->children[0]->atom, 1);
}

TEST(TreeCopy, DeepTreesAreCopiedWithoutRecursion) {
  const int depth = 200000;
  ASTNode* root = deepChain(depth);
  ASTNode* copy = A_copySubtree(root, nullptr);
  mbASTNode* m1 = M_copySubtree1(copy, nullptr);
  mbASTNode* m2 = M_copySubtree2(m1, nullptr);
  int length = 0;
  mbASTNode* cur = m2;
  while (!cur->children.empty()) {
    cur = cur->children[0];
    length++;
  }
  EXPECT_EQ(length, depth + 1);
  EXPECT_EQ(cur->atom, 4);
  EXPECT_TRUE(parentsConsistent(m2));
}

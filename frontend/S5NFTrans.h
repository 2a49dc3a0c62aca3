#pragma once
// The transformation of a parsed formula into an S5 clause set.
#include "clauseset/S5clauSet.h"
#include "frontend/ASTNode.h"

class S5NFTrans {
 public:
  int maxAtom = 0;    // largest atom in use; fresh atoms are maxAtom + 1
  S5clauSet clauSet;  // clause set under construction

  // Propositional passes on the binary tree, each called with the NT_ROOT node.
  // All are iterative so that the deepest tree the parser accepts is safe.
  void removeImply(ASTNode* node);  // ensure: no NT_IMPLY / NT_IFF left
  void trans2NNF(ASTNode* node);    // ensure: NT_NOT only above leaves; maxAtom set
  void removeTF(ASTNode* root);     // ensure: no constant, or the root's child is one

  mbASTNode* trans2MultiBranchAST(ASTNode* root);
  void dfsReduct(mbASTNode* node);
  S5clauSet parseS5CNF(mbASTNode* root);
  // Returns 0 (reduced to false), 1 (reduced to true), 2 (`out` holds the
  // clause set), or -1 after printing that the reduction made no progress.
  int trans2NF(S5clauSet& out, ASTNode* root);
};

// The NT_TRUE / NT_FALSE nodes of the tree, breadth-first.
std::vector<ASTNode*> getTFVector(ASTNode* root);

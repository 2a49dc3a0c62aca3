// The multi-branch tree: a copy of the binary tree in which every chain of
// AND (or OR) nodes becomes one node whose children are the operands of the
// chain, in breadth-first order of the chain. The chains are flattened while
// copying, so the inner nodes of a chain are never copied.
#include <utility>

#include "frontend/S5NFTrans.h"

namespace {

bool isJunction(int type) { return type == NT_AND || type == NT_OR; }

}  // namespace

mbASTNode* S5NFTrans::trans2MultiBranchAST(ASTNode* root) {
  mbASTNode* mb = newMbASTNode(root->type, root->atom);
  std::vector<std::pair<ASTNode*, mbASTNode*>> todo{{root, mb}};
  std::deque<ASTNode*> chain;
  std::vector<ASTNode*> operands;
  while (!todo.empty()) {
    auto [from, to] = todo.back();
    todo.pop_back();
    operands.clear();
    if (isJunction(from->type)) {
      A_chainOperands(from, chain, operands);
    } else {
      if (from->left) operands.push_back(from->left);
      if (from->right) operands.push_back(from->right);
    }
    to->children.reserve(operands.size());
    for (ASTNode* child : operands) {
      mbASTNode* copy = newMbASTNode(child->type, child->atom);
      copy->parent = to;
      to->children.push_back(copy);
      todo.emplace_back(child, copy);
    }
  }
  return mb;
}

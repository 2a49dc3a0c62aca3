#include <queue>

#include "frontend/S5NFTrans.h"

namespace {

// Replaces the children of `n` by the operands of its chain of nodes of n's own kind.
void flattenJunction(mbASTNode* n) {
  std::vector<mbASTNode*> flat;
  std::queue<mbASTNode*> q;
  q.push(n);
  while (!q.empty()) {
    mbASTNode* m = q.front();
    q.pop();
    if (m->type == n->type) {
      for (mbASTNode* c : m->children) q.push(c);
    } else {
      flat.push_back(m);
    }
  }
  n->children = flat;
  for (mbASTNode* c : n->children) c->parent = n;
}

}  // namespace

mbASTNode* S5NFTrans::trans2MultiBranchAST(ASTNode* root) {
  mbASTNode* mb = M_copySubtree1(root, nullptr);
  std::queue<mbASTNode*> q;
  q.push(mb);
  while (!q.empty()) {
    mbASTNode* n = q.front();
    q.pop();
    if (n == nullptr) continue;
    if (n->type == NT_AND || n->type == NT_OR) flattenJunction(n);
    for (mbASTNode* c : n->children) q.push(c);
  }
  return mb;
}

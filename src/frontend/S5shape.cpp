#include "frontend/S5shape.h"

#include <queue>


namespace {

bool isPropositional(mbASTNode* n) {
  return n->type == NT_NOT || n->type == NT_TRUE || n->type == NT_FALSE || n->type == NT_ATOM;
}

// Walks `top` through nodes of kind `join`, accepting nodes that satisfy `accept`.
// The usual shapes, an accepted node or one junction of accepted nodes, are
// decided without the queue (and its allocation).
template <class Accept>
bool isJunctionOf(mbASTNode* top, int join, Accept accept) {
  if (top == nullptr || accept(top)) return true;
  if (top->type != join) return false;
  bool flat = true;
  for (mbASTNode* c : top->children) {
    if (c == nullptr || accept(c)) continue;
    if (c->type != join) return false;
    flat = false;
  }
  if (flat) return true;
  std::queue<mbASTNode*> q;
  q.push(top);
  while (!q.empty()) {
    mbASTNode* m = q.front();
    q.pop();
    if (m == nullptr || accept(m)) continue;
    if (m->type != join) return false;
    for (mbASTNode* c : m->children) q.push(c);
  }
  return true;
}

}  // namespace

bool isS5lit(mbASTNode* n) {
  if (n->type == NT_BOX || n->type == NT_DIAMOND) {
    if (n->children.empty()) return false;
    return isJunctionOf(n->children[0], n->type == NT_BOX ? NT_OR : NT_AND, isPropositional);
  }
  return isPropositional(n);
}

bool isS5clause(mbASTNode* n) { return isJunctionOf(n, NT_OR, isS5lit); }

bool isS5CNF(mbASTNode* root) {
  if (root->children.empty()) return false;
  return isJunctionOf(root->children[0], NT_AND, isS5clause);
}

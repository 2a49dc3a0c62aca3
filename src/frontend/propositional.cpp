// The propositional passes on the binary tree: implication removal,
// negation normal form and constant propagation. All rewrite in place and
// walk with explicit stacks or queues.
#include <algorithm>
#include <queue>

#include "frontend/S5NFTrans.h"

namespace {

// y takes x's slot in x's parent; x is left as it is, cut out.
void replaceNode(ASTNode* x, ASTNode* y) {
  ASTNode* p = x->parent;
  if (p) {
    if (p->left == x)
      p->left = y;
    else
      p->right = y;
  }
  y->parent = p;
}

void pushChildren(std::vector<ASTNode*>& todo, ASTNode* node) {
  if (node->right) todo.push_back(node->right);
  if (node->left) todo.push_back(node->left);
}

// A -> B becomes ~A | B; returns the new ~A.
ASTNode* rewriteImply(ASTNode* imply) {
  ASTNode* negated = linkedNode(NT_NOT, imply->left, nullptr);
  ASTNode* disjunction = linkedNode(NT_OR, negated, imply->right);
  replaceNode(imply, disjunction);
  return negated;
}

// A <-> B becomes (A -> B) & (B' -> A'), the primed operands being copies
// taken before anything inside them is rewritten.
ASTNode* rewriteIff(ASTNode* iff) {
  ASTNode* a = iff->left;
  ASTNode* b = iff->right;
  ASTNode* backward = linkedNode(NT_IMPLY, A_copySubtree(b, nullptr), A_copySubtree(a, nullptr));
  ASTNode* forward = linkedNode(NT_IMPLY, a, b);
  ASTNode* conjunction = linkedNode(NT_AND, forward, backward);
  replaceNode(iff, conjunction);
  return conjunction;
}

// ~(A & B) becomes ~A | ~B and dually; returns the connective now in place.
ASTNode* pushNotIntoConnective(ASTNode* negation) {
  ASTNode* c = negation->left;
  c->type = (c->type == NT_AND) ? NT_OR : NT_AND;
  replaceNode(negation, c);
  c->left = linkedNode(NT_NOT, c->left, nullptr);
  c->left->parent = c;
  c->right = linkedNode(NT_NOT, c->right, nullptr);
  c->right->parent = c;
  return c;
}

// ~[]A becomes <>~A and dually; the negation node itself moves below.
void pushNotIntoModality(ASTNode* negation) {
  ASTNode* c = negation->left;
  c->type = (c->type == NT_BOX) ? NT_DIAMOND : NT_BOX;
  replaceNode(negation, c);
  negation->left = c->left;
  if (negation->left) negation->left->parent = negation;
  c->left = negation;
  negation->parent = c;
}

bool isConstant(const ASTNode* node) { return node->type == NT_TRUE || node->type == NT_FALSE; }

// p was cut out of the tree by an earlier step of removeTF.
bool isCutOut(const ASTNode* p) {
  return !p->parent || (p->parent->left != p && p->parent->right != p);
}

// One step of constant propagation of c into its parent p. Returns false
// with `error` set for a parent kind that cannot hold a constant.
bool propagateConstant(ASTNode* c, ASTNode* p, std::queue<ASTNode*>& queue, FrontEndError& error) {
  bool isTrue = c->type == NT_TRUE;
  ASTNode* sibling = (p->left == c) ? p->right : p->left;
  switch (p->type) {
    case NT_NOT: {
      ASTNode* flipped = newASTNode(isTrue ? NT_FALSE : NT_TRUE);
      replaceNode(p, flipped);
      queue.push(flipped);
      return true;
    }
    case NT_BOX:
    case NT_DIAMOND:
      replaceNode(p, c);
      queue.push(c);
      return true;
    case NT_AND:
    case NT_OR:
      // true absorbs a disjunction and false a conjunction; otherwise the
      // constant is neutral and the sibling takes the connective's place.
      if (isTrue == (p->type == NT_OR)) {
        replaceNode(p, c);
        queue.push(c);
      } else {
        replaceNode(p, sibling);
      }
      return true;
    default:
      error = {isTrue ? 236 : 271, "Invalid parent type!"};
      return false;
  }
}

}  // namespace

void S5NFTrans::removeImply(ASTNode* node) {
  if (binaryNodesCreated(NT_IMPLY) + binaryNodesCreated(NT_IFF) == 0) return;  // a CNF, say
  std::vector<ASTNode*> todo;
  if (node) todo.push_back(node);
  while (!todo.empty()) {
    ASTNode* cur = todo.back();
    todo.pop_back();
    if (cur->type == NT_IMPLY) {
      ASTNode* negated = rewriteImply(cur);
      if (negated->parent->right) todo.push_back(negated->parent->right);
      todo.push_back(negated);
    } else if (cur->type == NT_IFF) {
      ASTNode* conjunction = rewriteIff(cur);
      todo.push_back(conjunction->right);
      todo.push_back(conjunction->left);
    } else {
      pushChildren(todo, cur);
    }
  }
}

void S5NFTrans::trans2NNF(ASTNode* node) {
  std::vector<ASTNode*> todo;
  if (node) todo.push_back(node);
  while (!todo.empty()) {
    ASTNode* cur = todo.back();
    todo.pop_back();
    if (cur->type == NT_ATOM) {
      maxAtom = std::max(maxAtom, cur->atom);
      continue;
    }
    ASTNode* child = cur->left;
    if (cur->type != NT_NOT || !child) {
      pushChildren(todo, cur);
    } else if (child->type == NT_AND || child->type == NT_OR) {
      pushChildren(todo, pushNotIntoConnective(cur));
    } else if (child->type == NT_BOX || child->type == NT_DIAMOND) {
      pushNotIntoModality(cur);
      todo.push_back(cur);
    } else if (child->type == NT_NOT && child->left) {
      replaceNode(cur, child->left);
      todo.push_back(child->left);
    } else {
      todo.push_back(child);
    }
  }
}

bool S5NFTrans::removeTF(ASTNode* root) {
  if (!root || binaryNodesCreated(NT_TRUE) + binaryNodesCreated(NT_FALSE) == 0) return true;
  std::queue<ASTNode*> queue;
  for (ASTNode* constant : getTFVector(root)) queue.push(constant);
  while (!queue.empty()) {
    ASTNode* c = queue.front();
    queue.pop();
    if (!isConstant(c)) {
      error = {207, "Item not true or false!"};
      return false;
    }
    ASTNode* p = c->parent;
    if (!p || p->type == NT_ROOT || isCutOut(p)) continue;
    if (!propagateConstant(c, p, queue, error)) return false;
  }
  return true;
}

std::vector<ASTNode*> getTFVector(ASTNode* root) {
  std::vector<ASTNode*> constants;
  // A queue, not a vector of every node seen: only the frontier is kept.
  std::queue<ASTNode*> level;
  if (root) level.push(root);
  while (!level.empty()) {
    ASTNode* node = level.front();
    level.pop();
    if (isConstant(node)) {
      constants.push_back(node);
    } else if (node->type != NT_ATOM) {
      if (node->left) level.push(node->left);
      if (node->right) level.push(node->right);
    }
  }
  return constants;
}

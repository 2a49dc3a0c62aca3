// Naming the large operands of equivalences before they are expanded.
// A <-> B expands to (~A | B) & (~B' | A') with copies of both operands, so
// equivalences nested n deep copy their innermost operands 2^n times. When
// that would matter, every operand A larger than a literal is replaced by a
// fresh atom x, and x <-> A is conjoined to the formula. In S5 every world sees every
// world, so [r1](x <-> A) fixes x to A in every world and keeps satisfiability
// in both directions; an operand that no modality encloses is evaluated in
// world 0 only, and there the plain x <-> A does the same at lower cost.
#include <algorithm>
#include <cstdint>

#include "frontend/S5NFTrans.h"

namespace {

// A formula whose equivalences expand to at most this many nodes is left as
// it is, so small formulas keep their normal form. Beyond it every operand of
// an equivalence larger than a literal is named, which makes the expansion
// linear: an equivalence of two literals expands to 13 nodes.
const uint64_t kFormulaBudget = uint64_t(1) << 16;
const uint64_t kLiteralSize = 2;
const uint64_t kSaturated = uint64_t(1) << 40;

uint64_t capped(uint64_t n) { return std::min(n, kSaturated); }

// Tags that keep the keys of the binary tree apart from those of the
// multi-branch tree (reduction.cpp), plain from global definitions.
const int kPlainTag = -1001, kGlobalTag = -1002;

std::vector<int> subtreeKey(const ASTNode* top, bool global) {
  std::vector<int> key{global ? kGlobalTag : kPlainTag};
  std::vector<const ASTNode*> todo{top};
  while (!todo.empty()) {
    const ASTNode* n = todo.back();
    todo.pop_back();
    key.push_back(n->type);
    key.push_back(n->atom);
    key.push_back((n->left ? 1 : 0) + (n->right ? 2 : 0));
    if (n->right) todo.push_back(n->right);
    if (n->left) todo.push_back(n->left);
  }
  return key;
}

}  // namespace

size_t S5NFTrans::KeyHash::operator()(const std::vector<int>& key) const {
  uint64_t h = key.size();
  for (int x : key) h = (h ^ static_cast<uint32_t>(x)) * 0x100000001b3ull;
  return static_cast<size_t>(h ^ (h >> 29));
}

void S5NFTrans::nameEquivalenceOperands(ASTNode* root) {
  if (!root || binaryNodesCreated(NT_IFF) == 0) return;
  std::vector<Definition> definitions;
  if (expandEquivalences(root, false, definitions) <= kFormulaBudget) return;
  // Fresh atoms lie above every atom of the formula, so find the largest first.
  std::vector<const ASTNode*> scan{root};
  while (!scan.empty()) {
    const ASTNode* n = scan.back();
    scan.pop_back();
    if (n->type == NT_ATOM) maxAtom = std::max(maxAtom, n->atom);
    if (n->left) scan.push_back(n->left);
    if (n->right) scan.push_back(n->right);
  }
  expandEquivalences(root, true, definitions);
  if (definitions.empty()) return;
  ASTNode* formula = root->left;
  for (const Definition& d : definitions) {
    ASTNode* definition = linkedNode(NT_IFF, newASTNode(NT_ATOM, d.name), d.formula);
    if (d.global) definition = linkedNode(NT_BOX, definition, nullptr);
    formula = linkedNode(NT_AND, formula, definition);
  }
  root->left = formula;
  formula->parent = root;
}

// The size of the formula at `root` once its implications and equivalences
// are expanded; with `name`, every operand of an equivalence larger than a
// literal is named first (bottom-up, so an operand holds names of its own).
uint64_t S5NFTrans::expandEquivalences(ASTNode* root, bool name, std::vector<Definition>& definitions) {
  struct Frame {
    ASTNode* node;
    bool inModal;  // some modality encloses the node
    bool childrenDone;
  };
  std::vector<Frame> todo{{root, false, false}};
  std::vector<uint64_t> sizes;  // expanded sizes of the finished subtrees, in post-order
  while (!todo.empty()) {
    Frame f = todo.back();
    todo.pop_back();
    ASTNode* n = f.node;
    if (!f.childrenDone) {
      todo.push_back({n, f.inModal, true});
      bool below = f.inModal || n->type == NT_BOX || n->type == NT_DIAMOND;
      if (n->right) todo.push_back({n->right, below, false});
      if (n->left) todo.push_back({n->left, below, false});
      continue;
    }
    uint64_t right = 0, left = 0;
    if (n->right) right = sizes.back(), sizes.pop_back();
    if (n->left) left = sizes.back(), sizes.pop_back();
    if (n->type == NT_IFF) {
      if (name && left > kLiteralSize) left = 1, n->left = nameOperand(n->left, n, f.inModal, definitions);
      if (name && right > kLiteralSize) right = 1, n->right = nameOperand(n->right, n, f.inModal, definitions);
      sizes.push_back(capped(5 + 2 * (left + right)));
    } else if (n->type == NT_IMPLY) {
      sizes.push_back(capped(2 + left + right));
    } else {
      sizes.push_back(capped(1 + left + right));
    }
  }
  return sizes.back();
}

// The atom that stands for `formula`, an operand of `iff`: the name of an equal
// subformula named before, or a fresh one whose definition is recorded.
ASTNode* S5NFTrans::nameOperand(ASTNode* formula, ASTNode* iff, bool global, std::vector<Definition>& definitions) {
  auto named = namedSubformulas.emplace(subtreeKey(formula, global), 0);
  if (named.second) {
    named.first->second = ++maxAtom;
    definitions.push_back({maxAtom, formula, global});
  }
  ASTNode* atom = newASTNode(NT_ATOM, named.first->second);
  atom->parent = iff;
  return atom;
}

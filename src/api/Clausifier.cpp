#include "api/Clausifier.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "api/FormulaNode.h"
#include "frontend/ASTNode.h"
#include "frontend/S5NFTrans.h"

using tarvel::Formula;
using tarvel::FormulaAccess;

namespace {

int nodeTypeOf(Formula::Kind kind) {
  switch (kind) {
    case Formula::Kind::True: return NT_TRUE;
    case Formula::Kind::False: return NT_FALSE;
    case Formula::Kind::Atom: return NT_ATOM;
    case Formula::Kind::Not: return NT_NOT;
    case Formula::Kind::And: return NT_AND;
    case Formula::Kind::Or: return NT_OR;
    case Formula::Kind::Implies: return NT_IMPLY;
    case Formula::Kind::Iff: return NT_IFF;
    case Formula::Kind::Box: return NT_BOX;
    default: return NT_DIAMOND;
  }
}

}  // namespace

int Clausifier::numberOf(const Formula::Node& a) {
  int& slot = a.named ? named[a.name] : numbered[a.number];
  if (slot == 0) {
    slot = freshAtom();
    users.emplace(slot, a.named ? tarvel::atom(a.name) : tarvel::atom(a.number));
  }
  return slot;
}

const Formula* Clausifier::userAtom(int atom) const {
  auto found = users.find(atom);
  return found == users.end() ? nullptr : &found->second;
}

// Atoms above the formula's own are the normal form's fresh atoms: each gets
// a new number of the solver's.
int Clausifier::renumber(int literal, int largestInput, std::unordered_map<int, int>& fresh) {
  int a = std::abs(literal);
  if (a <= largestInput) return literal;
  auto found = fresh.emplace(a, 0);
  if (found.second) found.first->second = freshAtom();
  return literal > 0 ? found.first->second : -found.first->second;
}

std::vector<std::vector<S5lit>> Clausifier::clauses(const Formula& f, int guard) {
  // The formula as a syntax tree in the solver's numbering, built bottom-up
  // in an arena of this call's own.
  NodeArena arena;
  NodeArena::Scope scope(arena);
  int largestInput = 0;
  std::vector<ASTNode*> built;
  std::vector<std::pair<const Formula::Node*, bool>> todo{{FormulaAccess::node(f).get(), false}};
  while (!todo.empty()) {
    auto [n, operandsBuilt] = todo.back();
    todo.pop_back();
    if (!operandsBuilt && n->left) {
      todo.emplace_back(n, true);
      if (n->right) todo.emplace_back(n->right.get(), false);
      todo.emplace_back(n->left.get(), false);
      continue;
    }
    if (n->kind == Formula::Kind::Atom) {
      int a = numberOf(*n);
      largestInput = std::max(largestInput, a);
      built.push_back(newASTNode(NT_ATOM, a));
      continue;
    }
    ASTNode* left = nullptr;
    ASTNode* right = nullptr;
    if (n->right) {
      right = built.back();
      built.pop_back();
    }
    if (n->left) {
      left = built.back();
      built.pop_back();
    }
    built.push_back(n->left ? linkedNode(nodeTypeOf(n->kind), left, right) : newASTNode(nodeTypeOf(n->kind)));
  }
  ASTNode* root = linkedNode(NT_ROOT, built.back(), nullptr);

  S5NFTrans trans;
  S5clauSet cs;
  NormalForm nf = trans.trans2NF(cs, root);
  if (nf == NormalForm::Failed) throw std::runtime_error("tarvel: the normal form of a formula could not be built");
  if (nf == NormalForm::ReducedToTrue) return {};
  if (nf == NormalForm::ReducedToFalse) cs.clauses.assign(1, {});
  std::unordered_map<int, int> fresh;
  for (auto& c : cs.clauses)
    for (S5lit& l : c)
      for (int& x : l.lits) x = renumber(x, largestInput, fresh);
  if (guard != 0)
    for (auto& c : cs.clauses) c.push_back(S5lit{LitKind::Prop, {guard}, -1});
  return std::move(cs.clauses);
}

// From the reduced tree to the clause set, and the whole transformation.
#include <algorithm>
#include <cstdint>
#include <map>
#include <queue>
#include <unordered_map>
#include <unordered_set>

#include "frontend/S5NFTrans.h"
#include "frontend/S5shape.h"

namespace {

int literalOf(const mbASTNode* c) { return c->type == NT_NOT ? -c->children[0]->atom : c->atom; }

// The members of a Box (over `join` = OR) or Diamond (over AND), sorted.
std::vector<int> modalMembers(const mbASTNode* n, int join) {
  std::vector<int> lits;
  const mbASTNode* arg = n->children[0];
  if (arg->type == join) {
    for (const mbASTNode* c : arg->children) lits.push_back(literalOf(c));
  } else {
    lits.push_back(literalOf(arg));
  }
  std::sort(lits.begin(), lits.end());
  return lits;
}

S5lit toS5lit(const mbASTNode* n) {
  if (n->type == NT_BOX) return S5lit{LitKind::Box, modalMembers(n, NT_OR), -1};
  if (n->type == NT_DIAMOND) return S5lit{LitKind::Diamond, modalMembers(n, NT_AND), -1};
  return S5lit{LitKind::Prop, {literalOf(n)}, -1};
}

std::vector<S5lit> toClause(mbASTNode* n) {
  std::vector<S5lit> clause;
  if (isS5lit(n)) {
    clause.push_back(toS5lit(n));
  } else {
    clause.reserve(n->children.size());
    for (const mbASTNode* c : n->children) clause.push_back(toS5lit(c));
  }
  return clause;
}

size_t hashLit(const S5lit& l) {
  size_t h = std::hash<int>()(static_cast<int>(l.type)) * 31 + std::hash<int>()(l.world);
  for (int x : l.lits) h = h * 1000003u ^ std::hash<int>()(x);
  return h;
}

struct LitHash {
  size_t operator()(const S5lit& l) const { return hashLit(l); }
};

// Mixed at the end, so that the low bits a table index takes depend on every literal.
uint64_t hashClause(const std::vector<S5lit>& c) {
  uint64_t h = c.size();
  for (const S5lit& l : c) h = h * 0x9e3779b97f4a7c15ull ^ hashLit(l);
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdull;
  h ^= h >> 33;
  return h;
}

// Keeps the first occurrence of every literal of the clause, in order. Short
// clauses compare pairwise; long ones look literals up in a hash set.
void dropRepeatedLiterals(std::vector<S5lit>& clause) {
  size_t n = clause.size();
  if (n < 2) return;
  size_t kept = 0;
  if (n <= 16) {
    for (size_t i = 0; i < n; i++) {
      bool repeated = false;
      for (size_t j = 0; j < kept && !repeated; j++) repeated = clause[j] == clause[i];
      if (repeated) continue;
      if (kept != i) clause[kept] = std::move(clause[i]);
      kept++;
    }
  } else {
    std::unordered_set<S5lit, LitHash> seen;
    for (size_t i = 0; i < n; i++) {
      if (!seen.insert(clause[i]).second) continue;
      if (kept != i) clause[kept] = std::move(clause[i]);
      kept++;
    }
  }
  clause.resize(kept);
}

// Keeps the first occurrence of every clause, in order, compacting in place;
// an open-addressing table of kept positions finds the earlier equal clause.
// Returns how many of the kept clauses came from the first `head` clauses.
size_t dropRepeatedClauses(std::vector<std::vector<S5lit>>& clauses, size_t head) {
  size_t n = clauses.size();
  size_t slots = 16;
  while (slots < 2 * n) slots *= 2;
  const uint32_t empty = UINT32_MAX;
  std::vector<uint32_t> table(slots, empty);
  std::vector<uint64_t> hashes;
  hashes.reserve(n);
  size_t kept = 0, keptHead = 0;
  for (size_t i = 0; i < n; i++) {
    uint64_t h = hashClause(clauses[i]);
    size_t at = h & (slots - 1);
    bool repeated = false;
    for (; table[at] != empty; at = (at + 1) & (slots - 1)) {
      uint32_t k = table[at];
      if (hashes[k] == h && clauses[k] == clauses[i]) {
        repeated = true;
        break;
      }
    }
    if (repeated) continue;
    table[at] = static_cast<uint32_t>(kept);
    hashes.push_back(h);
    if (kept != i) clauses[kept] = std::move(clauses[i]);
    kept++;
    if (i < head) keptHead++;
  }
  clauses.resize(kept);
  return keptHead;
}

using ModalKey = std::pair<int, std::vector<int>>;  // NT_BOX / NT_DIAMOND, sorted members, no repeats

ModalKey modalKey(const S5lit& l) {
  return {l.type == LitKind::Box ? NT_BOX : NT_DIAMOND, sortedMembers(l)};
}

// Every modal literal of the extracted clauses (from `first` on) stands for
// one atom when it has a rigid atom from clause naming already, or when it
// occurs in two or more of these clauses. Such a literal occurs positively
// only, so a name x with the one defining clause [Box(-x), M] (x somewhere
// implies M) is enough: one Diamond clause for all copies of a Diamond,
// which the world bound sees once. Returns whether any literal was renamed.
bool nameRepeatedModals(std::vector<std::vector<S5lit>>& clauses, size_t first, int& maxAtom,
                        const std::map<ModalKey, int>& rigidAtoms) {
  struct Use {
    size_t clauses = 0, lastClause = SIZE_MAX;
    int name = 0;
  };
  std::map<ModalKey, Use> uses;
  for (size_t c = first; c < clauses.size(); c++)
    for (const S5lit& l : clauses[c]) {
      if (!l.isModal()) continue;
      Use& u = uses[modalKey(l)];
      if (u.lastClause != c) u.clauses++;
      u.lastClause = c;
    }
  bool renamed = false;
  std::vector<std::vector<S5lit>> definitions;
  for (size_t c = first; c < clauses.size(); c++)
    for (S5lit& l : clauses[c]) {
      if (!l.isModal()) continue;
      ModalKey key = modalKey(l);
      Use& u = uses[key];
      if (u.name == 0) {
        auto rigid = rigidAtoms.find(key);
        if (rigid != rigidAtoms.end()) {
          u.name = rigid->second;
        } else if (u.clauses >= 2) {
          u.name = ++maxAtom;
          definitions.push_back({S5lit{LitKind::Box, {-u.name}, -1}, l});
        } else {
          continue;
        }
      }
      l = S5lit{LitKind::Prop, {u.name}, -1};
      renamed = true;
    }
  for (auto& d : definitions) clauses.push_back(std::move(d));
  return renamed;
}

// The same shapes and literals on the binary tree, for a formula that is in
// S5-CNF shape already after the propositional passes (a propositional CNF,
// say). A chain of AND (OR) nodes stands for the one junction node the
// multi-branch tree would have, with the chain's operands in the same order.
bool isPropositional(const ASTNode* n) {
  return n->type == NT_NOT || n->type == NT_TRUE || n->type == NT_FALSE || n->type == NT_ATOM;
}

int literalOf(const ASTNode* n) { return n->type == NT_NOT ? -n->left->atom : n->atom; }

class BinaryReader {
 public:
  // The clauses of the formula below the root, appended to `clauses`; false
  // (and `clauses` as it was) when the formula is not in S5-CNF shape.
  bool read(ASTNode* formula, std::vector<std::vector<S5lit>>& clauses) {
    size_t before = clauses.size();
    std::vector<ASTNode*> tops;
    if (formula->type == NT_AND) {
      A_chainOperands(formula, chain, tops);
    } else {
      tops.push_back(formula);
    }
    for (ASTNode* t : tops) {
      std::vector<S5lit> clause;
      if (!readClause(t, clause)) {
        clauses.resize(before);
        return false;
      }
      clauses.push_back(std::move(clause));
    }
    return true;
  }

 private:
  std::deque<ASTNode*> chain;
  std::vector<ASTNode*> lits, operands;  // scratch: a clause's literals, a modal literal's members

  bool readClause(ASTNode* n, std::vector<S5lit>& clause) {
    if (n->type != NT_OR) return readLiteral(n, clause);
    lits.clear();
    A_chainOperands(n, chain, lits);
    clause.reserve(lits.size());
    for (ASTNode* l : lits)
      if (!readLiteral(l, clause)) return false;
    return true;
  }

  bool readLiteral(ASTNode* n, std::vector<S5lit>& clause) {
    if (isPropositional(n)) {
      clause.push_back(S5lit{LitKind::Prop, {literalOf(n)}, -1});
      return true;
    }
    if ((n->type != NT_BOX && n->type != NT_DIAMOND) || n->left == nullptr) return false;
    operands.clear();
    if (n->left->type == (n->type == NT_BOX ? NT_OR : NT_AND)) {
      A_chainOperands(n->left, chain, operands);
    } else {
      operands.push_back(n->left);
    }
    std::vector<int> members;
    members.reserve(operands.size());
    for (ASTNode* m : operands) {
      if (!isPropositional(m)) return false;
      members.push_back(literalOf(m));
    }
    std::sort(members.begin(), members.end());
    clause.push_back(S5lit{n->type == NT_BOX ? LitKind::Box : LitKind::Diamond, std::move(members), -1});
    return true;
  }
};

}  // namespace

bool S5NFTrans::readS5CNF(mbASTNode* root) {
  size_t defined = clauSet.clauses.size();
  if (!readClauses(root)) return false;
  cleanUpClauses(defined);
  return true;
}

bool S5NFTrans::readClauses(mbASTNode* root) {
  std::queue<mbASTNode*> q;
  q.push(root->children[0]);
  while (!q.empty()) {
    mbASTNode* n = q.front();
    q.pop();
    if (n == nullptr) continue;
    if (isS5clause(n)) {
      clauSet.clauses.push_back(toClause(n));
    } else if (n->type == NT_AND) {
      for (mbASTNode* c : n->children) q.push(c);
    } else {
      error = {740, "Invalid formula!"};
      return false;
    }
  }
  return true;
}

// The clauses from `defined` on were read from the tree, those before it were
// appended by dfsReduct.
void S5NFTrans::cleanUpClauses(size_t defined) {
  for (auto& clause : clauSet.clauses) dropRepeatedLiterals(clause);
  size_t first = dropRepeatedClauses(clauSet.clauses, defined);
  if (nameRepeatedModals(clauSet.clauses, first, maxAtom, rigidAtoms)) {
    for (size_t c = first; c < clauSet.clauses.size(); c++) dropRepeatedLiterals(clauSet.clauses[c]);
    dropRepeatedClauses(clauSet.clauses, 0);
  }
  clauSet.listDiamondClauses();
}

NormalForm S5NFTrans::trans2NF(S5clauSet& out, ASTNode* root) {
  maxAtom = 0;
  rigidAtoms.clear();
  namedDiamonds.clear();
  namedSubformulas.clear();
  nameEquivalenceOperands(root);
  removeImply(root);
  trans2NNF(root);
  if (!removeTF(root)) return NormalForm::Failed;
  if (root->left->type == NT_TRUE) return NormalForm::ReducedToTrue;
  if (root->left->type == NT_FALSE) return NormalForm::ReducedToFalse;
  // Already in S5-CNF shape: the clauses the multi-branch tree would give,
  // read from the binary tree without building it.
  size_t defined = clauSet.clauses.size();
  if (BinaryReader().read(root->left, clauSet.clauses)) {
    cleanUpClauses(defined);
    out = std::move(clauSet);
    return NormalForm::Clauses;
  }
  mbASTNode* mb = reduceToS5CNF(root, false);
  if (mb != nullptr && overBudget) mb = reduceToS5CNF(root, true);
  if (mb == nullptr || !readS5CNF(mb)) return NormalForm::Failed;
  out = std::move(clauSet);
  return NormalForm::Clauses;
}

// Literals of the fully distributed formula up to which copying is tried:
// the smallest power of two under which every formula of the golden files
// keeps its normal form.
const uint64_t kSmallDistribution = uint64_t(1) << 18;

// The multi-branch tree of the formula at root, reduced to S5-CNF shape, or
// null with `error` set for an empty tree or a reduction that makes no progress. Without
// `eagerly`, a formula whose distribution is estimated small is reduced by
// copying, until the copies reach a limit that grows with the formula; a
// formula estimated large, or one that reaches the limit, is left with
// overBudget set, and its clauses, names and atoms are dropped when the
// caller runs the reduction again with `eagerly`.
mbASTNode* S5NFTrans::reduceToS5CNF(ASTNode* root, bool eagerly) {
  if (eagerly) {
    NodeArena::current().releaseMulti();
    clauSet.clauses.resize(definedBeforeReduction);
    maxAtom = maxAtomBeforeReduction;
    rigidAtoms.clear();
    namedDiamonds.clear();
    namedSubformulas.clear();  // names past maxAtom would be taken again
  } else {
    definedBeforeReduction = clauSet.clauses.size();
    maxAtomBeforeReduction = maxAtom;
  }
  nameEagerly = eagerly;
  overBudget = false;
  copiedNodes = 0;
  mbASTNode* mb = trans2MultiBranchAST(root);
  if (mb->children.empty()) {
    error = {548, "Empty AST!"};
    return nullptr;
  }
  if (!eagerly && !isSmallWhenDistributed(mb, kSmallDistribution)) {
    overBudget = true;
    return mb;
  }
  // Every rule makes progress, so a reduction that terminates needs far fewer
  // passes than this; reaching it means a rule has stopped making progress.
  size_t passes = 0, largest = M_subtreeSize(mb);
  copyLimit = (size_t(1) << 18) + 4 * largest;
  while (!overBudget && !isS5CNF(mb)) {
    dfsReduct(mb);
    // The size is taken again only when the bound is reached: a walk over the
    // whole tree after every pass would cost as much as the pass itself.
    if (++passes > 16 * largest + 1000) largest = std::max(largest, M_subtreeSize(mb));
    if (passes > 16 * largest + 1000) {
      error = {599, "Internal error: the S5-NF reduction makes no progress!"};
      return nullptr;
    }
  }
  return mb;
}

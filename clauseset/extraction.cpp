// From the reduced tree to the clause set, and the whole transformation.
#include <algorithm>
#include <cstdio>
#include <queue>
#include <unordered_map>
#include <unordered_set>

#include "clauseset/S5shape.h"
#include "frontend/S5NFTrans.h"

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
  if (n->type == NT_BOX) return S5lit{1, modalMembers(n, NT_OR), -1};
  if (n->type == NT_DIAMOND) return S5lit{2, modalMembers(n, NT_AND), -1};
  return S5lit{0, {literalOf(n)}, -1};
}

std::vector<S5lit> toClause(mbASTNode* n) {
  std::vector<S5lit> clause;
  if (isS5lit(n)) {
    clause.push_back(toS5lit(n));
  } else {
    for (const mbASTNode* c : n->children) clause.push_back(toS5lit(c));
  }
  return clause;
}

size_t hashLit(const S5lit& l) {
  size_t h = std::hash<int>()(l.type) * 31 + std::hash<int>()(l.world);
  for (int x : l.lits) h = h * 1000003u ^ std::hash<int>()(x);
  return h;
}

struct LitHash {
  size_t operator()(const S5lit& l) const { return hashLit(l); }
};

size_t hashClause(const std::vector<S5lit>& c) {
  size_t h = c.size();
  for (const S5lit& l : c) h = h * 0x9e3779b97f4a7c15ull ^ hashLit(l);
  return h;
}

// Keeps the first occurrence of every literal of the clause, in order.
void dropRepeatedLiterals(std::vector<S5lit>& clause) {
  if (clause.size() < 2) return;
  std::unordered_set<S5lit, LitHash> seen;
  std::vector<S5lit> kept;
  for (S5lit& l : clause)
    if (seen.insert(l).second) kept.push_back(std::move(l));
  clause = std::move(kept);
}

// Keeps the first occurrence of every clause, in order.
void dropRepeatedClauses(std::vector<std::vector<S5lit>>& clauses) {
  std::unordered_multimap<size_t, size_t> byHash;
  std::vector<std::vector<S5lit>> kept;
  for (auto& c : clauses) {
    size_t h = hashClause(c);
    auto range = byHash.equal_range(h);
    bool repeated = std::any_of(range.first, range.second, [&](const auto& e) { return kept[e.second] == c; });
    if (repeated) continue;
    byHash.emplace(h, kept.size());
    kept.push_back(std::move(c));
  }
  clauses = std::move(kept);
}

bool hasDiamond(const std::vector<S5lit>& clause) {
  return std::any_of(clause.begin(), clause.end(), [](const S5lit& l) { return l.type == 2; });
}

size_t treeSize(mbASTNode* root) {
  size_t n = 0;
  std::vector<mbASTNode*> stack{root};
  while (!stack.empty()) {
    mbASTNode* m = stack.back();
    stack.pop_back();
    n++;
    for (mbASTNode* c : m->children) stack.push_back(c);
  }
  return n;
}

}  // namespace

S5clauSet S5NFTrans::parseS5CNF(mbASTNode* root) {
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
      std::printf("* Error(740): Invalid formula!\n");
      break;
    }
  }
  for (auto& clause : clauSet.clauses) dropRepeatedLiterals(clause);
  dropRepeatedClauses(clauSet.clauses);
  for (size_t c = 0; c < clauSet.clauses.size(); c++)
    if (hasDiamond(clauSet.clauses[c])) clauSet.diamClauses.push_back(static_cast<int>(c));
  return clauSet;
}

int S5NFTrans::trans2NF(S5clauSet& out, ASTNode* root) {
  maxAtom = 0;
  removeImply(root);
  trans2NNF(root);
  removeTF(root);
  if (root->left->type == NT_TRUE) return 1;
  if (root->left->type == NT_FALSE) return 0;
  mbASTNode* mb = trans2MultiBranchAST(root);
  // Every rule makes progress, so a reduction that terminates needs far fewer
  // passes than this; reaching it means a rule has stopped making progress.
  size_t passes = 0, largest = treeSize(mb);
  while (!isS5CNF(mb)) {
    dfsReduct(mb);
    largest = std::max(largest, treeSize(mb));
    if (++passes > 16 * largest + 1000) {
      std::printf("* Error(599): Internal error: the S5-NF reduction makes no progress!\n");
      std::fflush(stdout);
      return -1;
    }
  }
  out = parseS5CNF(mb);
  return 2;
}

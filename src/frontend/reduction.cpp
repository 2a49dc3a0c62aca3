// One pass of the S5-NF reduction over the multi-branch tree. The pass is an
// explicit-stack walk so that deeply nested formulas cannot exhaust the stack.
// A child removed from a parent whose children are being walked is left as a
// null entry and compacted when that walk ends; the element that would have
// moved into the removed entry is skipped for this pass, exactly as if the
// entry had been erased at once.
#include <algorithm>
#include <cstdint>
#include <queue>

#include "frontend/S5shape.h"
#include "frontend/S5NFTrans.h"

namespace {

bool isModal(const mbASTNode* n) { return n->type == NT_BOX || n->type == NT_DIAMOND; }

bool isLiteralNode(const mbASTNode* n) {
  return n->type == NT_ATOM ||
         (n->type == NT_NOT && !n->children.empty() && n->children[0]->type == NT_ATOM);
}

int signedLiteral(const mbASTNode* n) {
  return n->type == NT_ATOM ? n->atom : -n->children[0]->atom;
}

bool hasModalChild(const mbASTNode* n) {
  return std::any_of(n->children.begin(), n->children.end(), isModal);
}

mbASTNode* newWithChildren(int type, const std::vector<mbASTNode*>& children) {
  mbASTNode* n = newMbASTNode(type);
  n->children = children;
  for (mbASTNode* c : children) c->parent = n;
  return n;
}

S5lit boxLit(std::vector<int> lits) { return S5lit{LitKind::Box, std::move(lits), -1}; }
S5lit diamondLit(std::vector<int> lits) { return S5lit{LitKind::Diamond, std::move(lits), -1}; }

template <class T>
std::vector<T> sortedUnique(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  return v;
}

std::vector<int> negated(std::vector<int> lits) {
  for (int& l : lits) l = -l;
  return lits;
}

// The signed literals of a junction of literal nodes (or of one literal node).
std::vector<int> literalsBelow(mbASTNode* top) {
  std::vector<int> lits;
  std::queue<mbASTNode*> q;
  q.push(top);
  while (!q.empty()) {
    mbASTNode* m = q.front();
    q.pop();
    if (isLiteralNode(m)) {
      lits.push_back(signedLiteral(m));
    } else {
      for (mbASTNode* c : m->children) q.push(c);
    }
  }
  return lits;
}

// Distribution of a disjunction runs while the product of its conjunctions'
// sizes (the clauses it yields) times the disjunction's size stays within
// this budget; beyond it the conjunctions are named instead of copied.
const uint64_t kDistributionBudget = 4096;
// The same when naming eagerly, on clauses times the disjunction's size.
const uint64_t kEagerBudget = 64;

// Conjunctions of at most this many nodes share their names.
const uint64_t kShareLimit = 256;

// Tags that keep these keys apart from those of the binary tree.
const int kPlainTag = -2001, kGlobalTag = -2002;

std::vector<int> subtreeKey(const mbASTNode* top, bool global) {
  std::vector<int> key{global ? kGlobalTag : kPlainTag};
  std::vector<const mbASTNode*> todo{top};
  while (!todo.empty()) {
    const mbASTNode* n = todo.back();
    todo.pop_back();
    key.push_back(n->type);
    key.push_back(n->atom);
    key.push_back(static_cast<int>(n->children.size()));
    for (size_t i = n->children.size(); i-- > 0;) todo.push_back(n->children[i]);
  }
  return key;
}

bool hasModalAncestor(const mbASTNode* n) {
  for (const mbASTNode* a = n->parent; a != nullptr; a = a->parent)
    if (isModal(a)) return true;
  return false;
}

// Whether distributing every conjunction of the disjunction n stays within
// the budget: the clauses it yields (the product of the conjunctions' sizes)
// times their width (n's number of disjuncts). When naming eagerly, the width
// is n's whole size, so that nothing large is ever copied.
bool isWithinBudget(const mbASTNode* n, bool eagerly) {
  uint64_t budget = eagerly ? kEagerBudget : kDistributionBudget;
  uint64_t limit = budget / std::max<size_t>(n->children.size(), 1);
  uint64_t clauses = 1;
  for (const mbASTNode* a : n->children) {
    if (a->type != NT_AND) continue;
    clauses *= std::max<size_t>(a->children.size(), 1);
    if (clauses > limit) return false;
  }
  return !eagerly || M_subtreeSize(n, budget / clauses) <= budget / clauses;
}

class ReductionPass {
 public:
  explicit ReductionPass(S5NFTrans& t) : trans(t) {}

  void run(mbASTNode* top) {
    root = top;
    visit(top, 0, false);
    while (!walks.empty()) {
      size_t w = walks.size() - 1;
      mbASTNode* p = walks[w].node;
      if (walks[w].next >= p->children.size()) {
        compact(p);
        walks.pop_back();
        continue;
      }
      size_t i = walks[w].next++;
      mbASTNode* c = p->children[i];
      if (c == nullptr) continue;
      if (walks[w].skipNext) {
        walks[w].skipNext = false;
        continue;
      }
      visit(c, i, true);
      if (p->children[i] == nullptr) walks[w].skipNext = true;
    }
  }

 private:
  struct Walk {
    mbASTNode* node;
    size_t next;
    bool skipNext;
  };

  S5NFTrans& trans;
  mbASTNode* root = nullptr;
  std::vector<Walk> walks;
  // Whether the node being visited sits in a parent whose children are being walked.
  bool inWalk = false;
  size_t index = 0;

  int freshAtom() { return ++trans.maxAtom; }
  void addClause(std::vector<S5lit> clause) { trans.clauSet.clauses.push_back(std::move(clause)); }

  void replaceWith(mbASTNode* n, mbASTNode* m) {
    mbASTNode* p = n->parent;
    p->children[index] = m;
    m->parent = p;
  }

  void removeSelf(mbASTNode* n) {
    mbASTNode* p = n->parent;
    if (inWalk) {
      p->children[index] = nullptr;
    } else {
      p->children.erase(p->children.begin() + index);
    }
  }

  static void appendTo(mbASTNode* p, const std::vector<mbASTNode*>& nodes) {
    for (mbASTNode* m : nodes) {
      p->children.push_back(m);
      m->parent = p;
    }
  }

  static void compact(mbASTNode* p) {
    auto& ch = p->children;
    ch.erase(std::remove(ch.begin(), ch.end(), nullptr), ch.end());
  }

  void visit(mbASTNode* n, size_t idx, bool walked) {
    inWalk = walked;
    index = idx;
    if (n->type == NT_ATOM || n->type == NT_NOT) return;
    mbASTNode* c = n->children.empty() ? nullptr : n->children[0];
    if (isModal(n) && c != nullptr) {
      if (reduceModal(n, c)) return;
    } else if (n->type == NT_OR && distribute(n)) {
      return;
    }
    walks.push_back(Walk{n, 0, false});
  }

  // Rules for a modal node; false when the walk goes on into n's children.
  bool reduceModal(mbASTNode* n, mbASTNode* c) {
    if (isModal(c) || c->type == NT_TRUE || c->type == NT_FALSE) {
      collapseChain(n);
      return true;
    }
    bool box = n->type == NT_BOX;
    int split = box ? NT_AND : NT_OR;  // spreads over the modality
    int join = box ? NT_OR : NT_AND;   // pulls modal members out
    if (c->type == split) {
      spread(n, c, split);
      return true;
    }
    if (c->type != join) return false;
    if (hasModalChild(c)) {
      pullOutModal(n, c, join);
      return true;
    }
    if (!box && isNameable(c)) {
      nameClauses(c);
      return true;
    }
    visit(c, 0, false);
    return true;
  }

  // A chain of modalities means its innermost one in S5; a modality over a
  // constant is the constant. The whole chain goes in one step.
  void collapseChain(mbASTNode* n) {
    mbASTNode* last = n->children[0];
    while (isModal(last) && !last->children.empty() &&
           (isModal(last->children[0]) || last->children[0]->type == NT_TRUE ||
            last->children[0]->type == NT_FALSE)) {
      last = last->children[0];
    }
    replaceWith(n, last);
  }

  // Box over a conjunction, or Diamond over a disjunction.
  void spread(mbASTNode* n, mbASTNode* c, int split) {
    std::vector<mbASTNode*> parts;
    for (mbASTNode* a : c->children) parts.push_back(newWithChildren(n->type, {a}));
    mbASTNode* p = n->parent;
    if (p->type == split) {
      removeSelf(n);
      appendTo(p, parts);
    } else {
      replaceWith(n, c);
      c->children.clear();
      appendTo(c, parts);
    }
  }

  // Box over (A or M), M modal, becomes (Box A) or M; Diamond dually.
  void pullOutModal(mbASTNode* n, mbASTNode* c, int join) {
    std::vector<mbASTNode*> rest, group;
    for (mbASTNode* a : c->children) (isModal(a) ? group : rest).push_back(a);
    if (rest.size() == 1) {
      n->children = {rest[0]};
      rest[0]->parent = n;
    } else if (rest.size() >= 2) {
      c->children = rest;
    }
    if (!rest.empty()) group.push_back(n);
    mbASTNode* p = n->parent;
    if (p->type == join) {
      removeSelf(n);
      appendTo(p, group);
    } else {
      removeSelf(n);
      appendTo(p, {newWithChildren(join, group)});
    }
  }

  // Clause naming applies when every conjunct is a clause without modal
  // nesting problems: a disjunction of S5 literals, or a literal node taken as a
  // one-member clause. At least one disjunction is needed: a Diamond over
  // literals alone is already an S5 literal.
  static bool isNameable(mbASTNode* c) {
    if (c->children.empty()) return false;
    bool anyClause = false;
    for (mbASTNode* a : c->children) {
      if (a->type == NT_OR && isS5clause(a)) {
        anyClause = true;
      } else if (!isLiteralNode(a)) {
        return false;
      }
    }
    return anyClause;
  }

  // Names the conjuncts of the Diamond's argument c. A Diamond whose
  // conjuncts, as sets of literals, equal those of a Diamond named before
  // takes that Diamond's names and adds no clause; the names are defined in
  // every world as equivalent to their clauses, so sharing them is sound.
  void nameClauses(mbASTNode* c) {
    std::vector<std::vector<int>> sets;
    bool known = true;
    for (size_t i = 0; i < c->children.size() && known; i++) {
      std::vector<int> lits;
      known = knownLiterals(c->children[i], lits);
      sets.push_back(sortedUnique(std::move(lits)));
    }
    if (known) {
      std::vector<std::vector<int>> key = sortedUnique(sets);
      auto named = trans.namedDiamonds.find(key);
      if (named != trans.namedDiamonds.end()) {
        for (size_t i = 0; i < sets.size(); i++) {
          size_t at = std::lower_bound(key.begin(), key.end(), sets[i]) - key.begin();
          setName(c, i, named->second[at]);
        }
        return;
      }
    }
    sets.clear();
    std::vector<int> names;
    for (size_t i = 0; i < c->children.size(); i++) {
      mbASTNode* clause = c->children[i];
      std::vector<int> lits;
      if (clause->type == NT_OR) {
        for (mbASTNode* m : clause->children) lits.push_back(isModal(m) ? rigidAtom(m) : signedLiteral(m));
      } else {
        lits.push_back(signedLiteral(clause));
      }
      int y = freshAtom();
      setName(c, i, y);
      std::vector<int> def{-y};
      def.insert(def.end(), lits.begin(), lits.end());
      addClause({boxLit(def)});
      for (int l : lits) addClause({boxLit({y, -l})});
      sets.push_back(sortedUnique(std::move(lits)));
      names.push_back(y);
    }
    std::vector<std::vector<int>> key = sortedUnique(sets);
    std::vector<int> keyNames(key.size(), 0);
    for (size_t i = sets.size(); i-- > 0;)  // the first conjunct of equal ones wins
      keyNames[std::lower_bound(key.begin(), key.end(), sets[i]) - key.begin()] = names[i];
    trans.namedDiamonds.emplace(std::move(key), std::move(keyNames));
  }

  static void setName(mbASTNode* c, size_t i, int y) {
    mbASTNode* name = newMbASTNode(NT_ATOM, y);
    c->children[i] = name;
    name->parent = c;
  }

  // The literals of a conjunct to be named, when every modal member already
  // has its rigid atom; false (and `lits` incomplete) otherwise.
  bool knownLiterals(mbASTNode* clause, std::vector<int>& lits) const {
    if (clause->type != NT_OR) {
      lits.push_back(signedLiteral(clause));
      return true;
    }
    for (mbASTNode* m : clause->children) {
      if (!isModal(m)) {
        lits.push_back(signedLiteral(m));
        continue;
      }
      auto named = trans.rigidAtoms.find(rigidKey(m));
      if (named == trans.rigidAtoms.end()) return false;
      lits.push_back(named->second);
    }
    return true;
  }

  static std::pair<int, std::vector<int>> rigidKey(mbASTNode* m) {
    return {m->type, sortedUnique(literalsBelow(m->children[0]))};
  }

  // An atom that is true in every world or in none, exactly when the modal
  // literal m holds. The two defining clauses make it equivalent to m, so
  // every copy of an equal modal literal (same kind, same member set) takes
  // the atom of the first copy; only the first defines it.
  int rigidAtom(mbASTNode* m) {
    auto named = trans.rigidAtoms.emplace(rigidKey(m), 0);
    if (!named.second) return named.first->second;
    std::vector<int> args = literalsBelow(m->children[0]);
    int x = freshAtom();
    named.first->second = x;
    if (m->type == NT_BOX) {
      addClause({boxLit({-x}), boxLit(args)});
      addClause({diamondLit(negated(args)), boxLit({x})});
    } else {
      addClause({boxLit({-x}), diamondLit(args)});
      addClause({boxLit(negated(args)), boxLit({x})});
    }
    return x;
  }

  // X or (a1 and ... and am) becomes (X or a1) and ... and (X or am).
  bool distribute(mbASTNode* n) {
    auto& ch = n->children;
    auto it = std::find_if(ch.begin(), ch.end(), [](mbASTNode* a) { return a->type == NT_AND; });
    if (it == ch.end() || trans.overBudget) return false;
    if (!isWithinBudget(n, trans.nameEagerly)) {
      nameConjunctions(n);
      return true;
    }
    mbASTNode* conj = *it;
    std::vector<mbASTNode*> others;
    for (mbASTNode* a : ch)
      if (a != conj) others.push_back(a);
    mbASTNode* rest = newWithChildren(NT_OR, others);
    trans.copiedNodes += M_subtreeSize(rest) * conj->children.size();
    if (trans.copiedNodes > trans.copyLimit) trans.overBudget = true;
    std::vector<mbASTNode*> clauses;
    for (mbASTNode* a : conj->children) {
      mbASTNode* copy = M_copySubtree2(rest, nullptr);
      appendTo(copy, a->type == NT_OR ? a->children : std::vector<mbASTNode*>{a});
      clauses.push_back(copy);
    }
    mbASTNode* p = n->parent;
    if (p->type == NT_AND) {
      removeSelf(n);
      appendTo(p, clauses);
    } else {
      replaceWith(n, newWithChildren(NT_AND, clauses));
    }
    return true;
  }

  // Every conjunction C among the disjuncts of n becomes an atom y with the
  // definitions ~y | Ci, one per conjunct: y implies C, which is all that a
  // positive occurrence needs. Under a modality y may stand in any world, and
  // in S5 every world sees every world, so [r1](~y | Ci) defines it in all of
  // them; outside every modality the disjunction is read in world 0 only and
  // the plain clauses do. Equal small conjunctions share one name.
  void nameConjunctions(mbASTNode* n) {
    bool global = hasModalAncestor(n);
    for (mbASTNode*& conj : n->children) {
      if (conj->type != NT_AND) continue;
      // Only small conjunctions are looked up: the conjunctions of a deeply
      // nested formula contain each other, and writing each out in full
      // would cost the square of the depth.
      int* shared = nullptr;
      if (M_subtreeSize(conj, kShareLimit) <= kShareLimit)
        shared = &trans.namedSubformulas.emplace(subtreeKey(conj, global), 0).first->second;
      int y = shared != nullptr ? *shared : 0;
      if (y == 0) {
        y = freshAtom();
        if (shared != nullptr) *shared = y;
        for (mbASTNode* a : conj->children) {
          mbASTNode* clause = newWithChildren(NT_OR, {newWithChildren(NT_NOT, {newMbASTNode(NT_ATOM, y)})});
          appendTo(clause, a->type == NT_OR ? a->children : std::vector<mbASTNode*>{a});
          addDefinition(global ? newWithChildren(NT_BOX, {clause}) : clause);
        }
      }
      conj = newMbASTNode(NT_ATOM, y);
      conj->parent = n;
    }
  }

  // Conjoins a definition to the whole formula.
  void addDefinition(mbASTNode* definition) {
    mbASTNode* top = root->children[0];
    if (top->type != NT_AND) {
      top = newWithChildren(NT_AND, {top});
      root->children[0] = top;
      top->parent = root;
    }
    appendTo(top, {definition});
  }
};

}  // namespace

// Whether the clauses of the formula at `top`, fully distributed, are
// estimated to hold at most `limit` literals. Modalities are looked through,
// as a Box spreads over a conjunction and a Diamond over a disjunction.
bool S5NFTrans::isSmallWhenDistributed(mbASTNode* top, uint64_t limit) {
  struct Size {
    uint64_t clauses, literals;
  };
  auto cap = [limit](uint64_t x) { return std::min(x, limit + 1); };
  std::vector<std::pair<mbASTNode*, bool>> todo{{top, false}};
  std::vector<Size> sizes;
  while (!todo.empty()) {
    auto [n, childrenDone] = todo.back();
    todo.pop_back();
    if (!childrenDone) {
      todo.push_back({n, true});
      if (!isLiteralNode(n))
        for (mbASTNode* c : n->children) todo.push_back({c, false});
      continue;
    }
    if (isLiteralNode(n) || n->children.empty()) {
      sizes.push_back({1, 1});
      continue;
    }
    Size s = n->type == NT_OR ? Size{1, 0} : Size{0, 0};
    for (size_t i = 0; i < n->children.size(); i++) {
      Size c = sizes.back();
      sizes.pop_back();
      if (n->type == NT_OR) {
        s.literals = cap(s.literals * c.clauses + c.literals * s.clauses);
        s.clauses = cap(s.clauses * c.clauses);
      } else {
        s.clauses = cap(s.clauses + c.clauses);
        s.literals = cap(s.literals + c.literals);
      }
    }
    sizes.push_back(s);
  }
  return sizes.back().literals <= limit;
}

void S5NFTrans::dfsReduct(mbASTNode* node) {
  ReductionPass pass(*this);
  pass.run(node);
}

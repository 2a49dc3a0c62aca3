#pragma once
// The transformation of a parsed formula into an S5 clause set.
#include <cstdint>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "clauseset/S5clauSet.h"
#include "frontend/ASTNode.h"
#include "frontend/FrontEndError.h"

// What the normal form of a formula came to.
enum class NormalForm { ReducedToFalse, ReducedToTrue, Clauses, Failed };

class S5NFTrans {
 public:
  int maxAtom = 0;    // largest atom in use; fresh atoms are maxAtom + 1
  S5clauSet clauSet;  // clause set under construction
  // The rigid atom of every modal literal named so far, keyed by its kind
  // (NT_BOX / NT_DIAMOND) and its sorted, duplicate-free members: equal modal
  // literals share one atom and one pair of defining clauses.
  std::map<std::pair<int, std::vector<int>>, int> rigidAtoms;
  // The clause names of every Diamond over named clauses so far, keyed by its
  // conjuncts as sorted, duplicate-free literal sets (themselves sorted and
  // duplicate-free): the names, one per key entry. An equal Diamond takes them.
  std::map<std::vector<std::vector<int>>, std::vector<int>> namedDiamonds;
  // The name of every subformula named so far instead of being copied, keyed
  // by its tree written out in pre-order and whether its definition holds in
  // every world or only in world 0: equal subformulas share one name.
  struct KeyHash {
    size_t operator()(const std::vector<int>& key) const;
  };
  std::unordered_map<std::vector<int>, int, KeyHash> namedSubformulas;
  // Distribution copies while the copies stay below copyLimit nodes in all;
  // a reduction that reaches it sets overBudget and is run again from the
  // start with nameEagerly, which names a conjunction unless its
  // distribution is tiny (reduceToS5CNF and trans2NF do both). What a
  // restart drops: the clauses from definedBeforeReduction on, and the
  // atoms above maxAtomBeforeReduction.
  bool nameEagerly = false;
  bool overBudget = false;
  size_t copiedNodes = 0, copyLimit = 0;
  // Why the last pass that failed (returned false, null or Failed) failed.
  FrontEndError error;
  size_t definedBeforeReduction = 0;
  int maxAtomBeforeReduction = 0;

  // Propositional passes on the binary tree, each called with the NT_ROOT node.
  // All are iterative so that the deepest tree the parser accepts is safe.

  // When the expanded equivalences would exceed a budget, replaces every
  // operand of an equivalence that is not a literal by a fresh atom, defined
  // equivalent to it and conjoined to the formula, so that nested
  // equivalences expand in linear size.
  // require: called on the NT_ROOT node before removeImply; raises maxAtom.
  void nameEquivalenceOperands(ASTNode* root);
  struct Definition {
    int name;
    ASTNode* formula;
    bool global;  // in every world, not only in world 0
  };
  uint64_t expandEquivalences(ASTNode* root, bool name, std::vector<Definition>& definitions);
  ASTNode* nameOperand(ASTNode* formula, ASTNode* iff, bool global, std::vector<Definition>& definitions);
  void removeImply(ASTNode* node);  // ensure: no NT_IMPLY / NT_IFF left
  void trans2NNF(ASTNode* node);    // ensure: NT_NOT only above leaves; maxAtom set
  // ensure: true and no constant left, or the root's child is one; false
  // with `error` set for a tree it cannot handle.
  bool removeTF(ASTNode* root);

  mbASTNode* trans2MultiBranchAST(ASTNode* root);
  mbASTNode* reduceToS5CNF(ASTNode* root, bool eagerly);
  static bool isSmallWhenDistributed(mbASTNode* top, uint64_t limit);
  void dfsReduct(mbASTNode* node);
  // Extracts the clauses of an S5-CNF tree into clauSet and cleans it up;
  // false with `error` set when the tree is not in S5-CNF shape.
  bool readS5CNF(mbASTNode* root);
  bool readClauses(mbASTNode* root);
  void cleanUpClauses(size_t defined);
  // The whole normal form. Clauses: `out` holds the clause set, moved out of
  // clauSet, which is left empty. Failed: `error` says why, and nothing
  // after the failed step ran.
  NormalForm trans2NF(S5clauSet& out, ASTNode* root);
};

// The NT_TRUE / NT_FALSE nodes of the tree, breadth-first.
std::vector<ASTNode*> getTFVector(ASTNode* root);

#pragma once
// The S5 normal form as a clause set, and the world bound derived from it.
#include <cstdio>
#include <queue>
#include <unordered_map>
#include <vector>

// One literal of an S5 clause: type 0 propositional (one member),
// 1 Box over the disjunction of `lits`, 2 Diamond over their conjunction.
struct S5lit {
  int type = 0;
  std::vector<int> lits;
  int world = -1;  // witness world of a Diamond literal, set by decideWorldN
  bool operator==(const S5lit& o) const {
    return type == o.type && world == o.world && lits == o.lits;
  }
};

// Hash of a list of literals, for maps keyed by member lists.
struct IntVectorHash {
  size_t operator()(const std::vector<int>& k) const {
    size_t h = k.size();
    for (int x : k) h = (h ^ static_cast<size_t>(static_cast<unsigned>(x))) * 0x100000001b3ULL;
    return h;
  }
};

struct ClauWithDi {
  int diamIdx = 0;    // position in diamClauses
  int conflictN = 0;  // number of diamond clauses it conflicts with
};

struct CompLess {
  bool operator()(const ClauWithDi& a, const ClauWithDi& b) const {
    return a.conflictN < b.conflictN;
  }
};

class S5clauSet {
 public:
  std::vector<std::vector<S5lit>> clauses;
  std::vector<int> diamClauses;  // ascending clause numbers holding a Diamond literal
  std::vector<ClauWithDi> cwdList;
  std::unordered_map<int, std::vector<int>> watchList;
  int worldN = 1;
  // Conflict relation between diamond clauses (positions in diamClauses),
  // through their classes: clauses with the same Diamond and sure members
  // have the same conflicts. i < j conflict when classConflict[diamClass[i]]
  // holds diamClass[j]; classConflictedBy is its transpose. Sparse, ascending.
  std::vector<int> diamClass;
  std::vector<std::vector<int>> classConflict, classConflictedBy;

  // Writes the S5-NF file: header line, then one line per clause.
  void printClauSet(FILE* out) const;
  // Keeps only the Diamond literals of every diamond clause.
  void Op_ClauSet();
  void PrintCWD() const;
  void PrintDiamc() const;

  // World bound, run once each in this order after extraction.
  // iniWatchList  require: watchList empty.
  // iniDiamconflict require: iniWatchList ran, cwdList empty.
  //                 ensure: the conflict relation and cwdList (sorted by conflictN) filled.
  // decideWorldN  ensure: world set on every Diamond literal of a diamond clause;
  //               returns worldN (>= 1).
  void iniWatchList();
  void iniDiamconflict();
  int decideWorldN();
  // Baseline without conflict analysis: diamond clause i gets world i + 1.
  // Replaces the three steps above; returns worldN = diamond clauses + 1.
  int decideClassicWorldN();
  // Whether diamond clauses i and j (positions in diamClauses) conflict.
  bool isConflict(int i, int j) const;
  void DelDiamconfl();

 private:
  void countConflicts();
};

bool In(int x, std::vector<int>& v);
void clearMap(std::unordered_map<int, int>& m);
void clearQ(std::queue<int>& q);

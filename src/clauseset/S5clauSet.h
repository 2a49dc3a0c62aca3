#pragma once
// The S5 normal form as a clause set, and the world bound derived from it.
#include <cstdio>
#include <vector>

// The kinds of literal of an S5 clause: propositional (one member), Box over
// the disjunction of its members, Diamond over their conjunction.
enum class LitKind { Prop, Box, Diamond };

struct S5lit {
  LitKind type = LitKind::Prop;
  std::vector<int> lits;
  int world = -1;  // witness world of a Diamond literal, set by decideWorldN
  bool isModal() const { return type != LitKind::Prop; }
  bool operator==(const S5lit& o) const {
    return type == o.type && world == o.world && lits == o.lits;
  }
};

// The members of `l` sorted, without repeats, into `out`: the form in which
// equal modal literals compare equal whatever order the formula wrote them
// in. The printed normal form keeps the written order.
void sortedMembers(const S5lit& l, std::vector<int>& out);
inline std::vector<int> sortedMembers(const S5lit& l) {
  std::vector<int> out;
  sortedMembers(l, out);
  return out;
}

// Hash of a list of literals, for maps keyed by member lists.
struct IntVectorHash {
  size_t operator()(const std::vector<int>& k) const {
    size_t h = k.size();
    for (int x : k) h = (h ^ static_cast<size_t>(static_cast<unsigned>(x))) * 0x100000001b3ULL;
    return h;
  }
};

// Whether the clause holds a Diamond literal.
bool hasDiamond(const std::vector<S5lit>& clause);
// Each clause holding a Diamond gets a witness world of its own, in order
// from firstWorld, for all its Diamond literals; returns the next free world.
// No clause can make this grouping unsound.
int giveOwnWorlds(std::vector<std::vector<S5lit>>& clauses, int firstWorld);

class S5clauSet {
 public:
  std::vector<std::vector<S5lit>> clauses;
  std::vector<int> diamClauses;  // ascending clause numbers holding a Diamond literal
  int worldN = 1;
  // The conflict analysis ran out of its budget: one world per Diamond
  // clause, which the lazy path lets witnesses share.
  bool analysisCutShort = false;

  // Sets diamClauses from the clauses.
  void listDiamondClauses();

  // Writes the S5-NF file: header line, then one line per clause.
  void printClauSet(FILE* out) const;

  // The world bound. ensure: every Diamond literal of a diamond clause has
  // its witness world in 1 .. worldN - 1, and clauses that may clash have
  // different worlds; returns worldN (>= 1). The conflict analysis gets a
  // work budget linear in the size of the clause set (literal members);
  // when it runs out, the result is decideClassicWorldN's.
  int decideWorldN();
  // The same with an explicit budget of work units (a literal reached or a
  // pair of clauses compared); require: workBudget >= 0.
  int decideWorldN(long long workBudget);
  // Baseline without conflict analysis: diamond clause i gets world i + 1;
  // returns worldN = diamond clauses + 1.
  int decideClassicWorldN();
};

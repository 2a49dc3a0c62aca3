#pragma once
// Encodes an S5 clause set as propositional clauses over atom-world variables.
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "clauseset/S5clauSet.h"
#include "frontend/AtomNames.h"

// Atom and world mixed so that keys spread over the buckets: the plain
// exclusive or of the two sends whole diagonals of (atom, world) pairs to
// one bucket, which turns every lookup into a scan on large encodings.
struct s5hash {
  size_t operator()(const std::vector<int>& k) const {
    uint64_t x = (static_cast<uint64_t>(static_cast<uint32_t>(k[0])) << 32) | static_cast<uint32_t>(k[1]);
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    return static_cast<size_t>(x);
  }
};
struct s5equal1 {
  bool operator()(const std::vector<int>& a, const std::vector<int>& b) const {
    return a[0] == b[0] && a[1] == b[1];
  }
};

class Trans2SAT {
 public:
  int worldNum = 0;
  // Each clause: DIMACS literals then a closing 0 (MaxSAT: weight first).
  std::vector<std::vector<int>> satClauses;
  std::unordered_map<std::vector<int>, int, s5hash, s5equal1> atomWorld2Var;
  std::unordered_map<int, std::vector<int>> var2AtomWorld;  // key: variable - 1
  int varNum = 0;

  // require: fresh encoder, decideWorldN ran. ensure: satClauses, worldNum = worldN.
  void TranS52SAT(S5clauSet& cs);
  // require: fresh encoder, k >= 1. Diamond witnesses bounded by the cursor.
  void TranS52SAT_b(S5clauSet& cs, int k);
  // require: fresh encoder, decideWorldN ran. Weighted partial MaxSAT instance.
  void TranS52P_MAX_SAT(S5clauSet& cs);
  void printSATclau(FILE* out) const;
  void printMAXSATclau(FILE* out) const;
  // Weight of hard clauses: above the sum of the soft weights (worldN - 1).
  int maxSatTop() const;
  // Prints the S5 model held in `model` (solver assignment) world by world,
  // the atoms by their names in `names`.
  void model2S5(std::vector<int>& model, const AtomNames& names, FILE* out) const;
};

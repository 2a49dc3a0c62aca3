#pragma once
// Encodes an S5 clause set as propositional clauses over atom-world variables.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "clauseset/S5clauSet.h"
#include "encoding/S5model.h"
#include "solver/ClauseList.h"

class Trans2SAT {
 public:
  int worldNum = 0;
  // Each clause: DIMACS literals then a closing 0 (MaxSAT: weight first).
  ClauseList satClauses;
  AtomWorldOf atomWorldOf;
  int varNum = 0;

  // require: fresh encoder, decideWorldN ran. ensure: satClauses, worldNum = worldN.
  void TranS52SAT(S5clauSet& cs);
  // require: fresh encoder, k >= 1. The encoding over k worlds with Diamond
  // witnesses bounded by the cursor, where world w (1 .. k-1) counts, as a
  // witness and for the Box literals, only while its selector, variable w,
  // is true. Assuming -w for every
  // w >= j asks for a model of j worlds; with every selector free the
  // clauses have a model iff some model has at most k worlds.
  void TranS52SAT_sel(S5clauSet& cs, int k);
  // require: fresh encoder, k >= 1. Weighted partial MaxSAT instance over k
  // worlds: the clauses of TranS52SAT_sel as hard clauses, each selector false
  // as a soft one.
  void TranS52P_MAX_SAT(S5clauSet& cs, int k);
  void printSATclau(FILE* out) const;
  void printMAXSATclau(FILE* out) const;
  // Weight of hard clauses: above the sum of the soft weights (worldN - 1).
  int maxSatTop() const;
  // The S5 model over all worlds of the encoding, by the values `isTrue`
  // gives its variables: per world its signed atoms.
  std::vector<std::vector<int>> decodeModel(const std::function<bool(int)>& isTrue) const;
};

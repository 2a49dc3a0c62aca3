#pragma once
// The variables of atom-world pairs, shared by both encoders, without
// hashing: an atom seen in one world keeps its variable inline; from its
// second world on it gets a row with a slot per world, grown to the largest
// world asked for. Worlds are the caller's indices 0, 1, ...: the one-shot
// encoder's worlds, the lazy encoder's worlds in order of activation, so a
// row is as long as the worlds in use, not as the world bound.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "clauseset/AtomIndex.h"
#include "clauseset/S5clauSet.h"

class AtomWorldTable {
 public:
  // `rowLength`: the slots a row gets at once (the worlds the caller will
  // surely use), so that a full row is allocated once.
  AtomWorldTable(const S5clauSet& cs, int rowLength);
  // A table for atoms that come later (clauses added one batch at a time).
  explicit AtomWorldTable(int rowLength);
  // The variable of (atom, world), 0 until the caller sets it.
  int& slot(int atom, int world);
  // The variable of (atom, world), 0 when it has none.
  int find(int atom, int world) const;

 private:
  struct Entry {
    int world = -1;
    int var = 0;
    size_t row = SIZE_MAX;  // first slot in `rows`, once the atom is in two worlds
    size_t length = 0;      // slots of the row
  };
  AtomIndex index;
  size_t rowLength;
  std::vector<Entry> entries;  // by atom index
  // All rows in one buffer, no allocation per atom; a row that must grow
  // moves to the end at twice its length, which bounds the waste by half.
  std::vector<int> rows;
};

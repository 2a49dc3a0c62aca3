#pragma once
// Dense indices 0, 1, ... for the atoms of a clause set, in order of first
// sight. Atom numbers are the user's: a formula with one huge atom number
// gets its indices from a hash table instead of an array that long.
#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "clauseset/S5clauSet.h"

class AtomIndex {
 public:
  // An index for atoms that come later, numbered densely by their owner.
  AtomIndex() = default;
  explicit AtomIndex(const S5clauSet& cs) {
    int largest = 0;
    size_t literals = 0;
    for (const auto& c : cs.clauses)
      for (const S5lit& l : c) {
        literals += l.lits.size();
        for (int x : l.lits) largest = std::max(largest, std::abs(x));
      }
    direct = static_cast<size_t>(largest) <= 4 * literals + 1024;
    if (direct) slotOf.assign(static_cast<size_t>(largest) + 1, 0);
  }

  // The atom's index; the next free one on its first sight.
  size_t of(int atom) {
    if (direct && static_cast<size_t>(atom) >= slotOf.size()) grow(atom);
    int& slot = direct ? slotOf[static_cast<size_t>(atom)] : sparseOf[atom];
    if (slot == 0) slot = static_cast<int>(++count);
    return static_cast<size_t>(slot - 1);
  }
  // The atom's index, or -1 when it was never seen.
  long find(int atom) const {
    if (direct && static_cast<size_t>(atom) >= slotOf.size()) return -1;
    if (direct) return static_cast<long>(slotOf[static_cast<size_t>(atom)]) - 1;
    auto it = sparseOf.find(atom);
    return it == sparseOf.end() ? -1 : it->second - 1;
  }

 private:
  // Atoms beyond the array, for clauses added after the index was made: the
  // array doubles while it stays dense, else the index turns to hashing.
  void grow(int atom) {
    size_t wanted = std::max(static_cast<size_t>(atom) + 1, 2 * slotOf.size());
    if (wanted <= 4 * count + 1024 + slotOf.size()) {
      slotOf.resize(wanted, 0);
      return;
    }
    for (size_t a = 0; a < slotOf.size(); a++)
      if (slotOf[a] != 0) sparseOf[static_cast<int>(a)] = slotOf[a];
    std::vector<int>().swap(slotOf);
    direct = false;
  }

  bool direct = true;
  std::vector<int> slotOf;               // atom -> index + 1 (0: not seen yet)
  std::unordered_map<int, int> sparseOf;  // the same, when atom numbers are sparse
  size_t count = 0;
};

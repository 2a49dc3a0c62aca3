#include "encoding/AtomWorldTable.h"

#include <algorithm>

AtomWorldTable::AtomWorldTable(const S5clauSet& cs, int rowLength)
    : index(cs), rowLength(static_cast<size_t>(std::max(rowLength, 1))) {}

AtomWorldTable::AtomWorldTable(int rowLength) : rowLength(static_cast<size_t>(std::max(rowLength, 1))) {}

int& AtomWorldTable::slot(int atom, int world) {
  size_t a = index.of(atom), w = static_cast<size_t>(world);
  if (a == entries.size()) entries.emplace_back();
  Entry& e = entries[a];
  if (e.row == SIZE_MAX) {
    if (e.var == 0 || e.world == world) {
      e.world = world;
      return e.var;
    }
    e.row = rows.size();
    e.length = std::max(rowLength, std::max(w, static_cast<size_t>(e.world)) + 1);
    rows.resize(rows.size() + e.length, 0);
    rows[e.row + static_cast<size_t>(e.world)] = e.var;
  }
  if (w >= e.length) {
    size_t moved = rows.size(), length = std::max(w + 1, 2 * e.length);
    rows.resize(moved + length, 0);
    std::copy(rows.begin() + static_cast<long>(e.row), rows.begin() + static_cast<long>(e.row + e.length),
              rows.begin() + static_cast<long>(moved));
    e.row = moved;
    e.length = length;
  }
  return rows[e.row + w];
}

int AtomWorldTable::find(int atom, int world) const {
  long a = index.find(atom);
  if (a < 0 || static_cast<size_t>(a) >= entries.size()) return 0;
  const Entry& e = entries[static_cast<size_t>(a)];
  if (e.row == SIZE_MAX) return e.world == world ? e.var : 0;
  size_t w = static_cast<size_t>(world);
  return w < e.length ? rows[e.row + w] : 0;
}

#include "encoding/LazyWorlds.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool isModal(const S5lit& l) { return l.type == 1 || l.type == 2; }

int largestAtom(const S5clauSet& cs, size_t& literals) {
  int largest = 0;
  literals = 0;
  for (const auto& c : cs.clauses)
    for (const S5lit& l : c) {
      literals += l.lits.size();
      for (int x : l.lits) largest = std::max(largest, std::abs(x));
    }
  return largest;
}

}  // namespace

LazyWorlds::LazyWorlds(const S5clauSet& cs, ClauseSink& sink)
    : cs(cs), sink(sink), diamondsAt(std::max(cs.worldN, 1)), active(std::max(cs.worldN, 1), 0),
      varOf(std::max(cs.worldN, 1)) {
  size_t literals = 0;
  int largest = largestAtom(cs, literals);
  // A huge atom number in a small formula must not size a table.
  direct = static_cast<size_t>(largest) <= 4 * literals + 1024;
  if (direct) denseOf.assign(static_cast<size_t>(largest) + 1, 0);
}

size_t LazyWorlds::atomIndex(int atom) {
  int& slot = direct ? denseOf[static_cast<size_t>(atom)] : sparseOf[atom];
  if (slot == 0) slot = static_cast<int>(++atomCount);
  return static_cast<size_t>(slot - 1);
}

int LazyWorlds::variable(int lit, int world) {
  int atom = std::abs(lit);
  size_t a = atomIndex(atom);
  std::vector<int>& row = varOf[world];
  if (row.size() <= a) row.resize(std::max(a + 1, 2 * row.size()), 0);
  if (row[a] == 0) {
    row[a] = ++varCount;
    atomWorldOf.emplace_back(atom, world);
  }
  return lit > 0 ? row[a] : -row[a];
}

int LazyWorlds::newGate() {
  atomWorldOf.emplace_back(0, -1);
  return ++varCount;
}

void LazyWorlds::addBox(const Gate& g, int world) {
  clause.clear();
  if (g.var != 0) clause.push_back(-g.var);
  for (size_t i = 0; i < g.count; i++) clause.push_back(variable(memberPool[g.members + i], world));
  sink.add(clause);
}

void LazyWorlds::addDiamond(const Gate& g, int world) {
  for (size_t i = 0; i < g.count; i++) {
    clause.clear();
    if (g.var != 0) clause.push_back(-g.var);
    clause.push_back(variable(memberPool[g.members + i], world));
    sink.add(clause);
  }
}

void LazyWorlds::activate(int world) {
  active[world] = 1;
  activeCount++;
  for (const Gate& g : boxes) addBox(g, world);
  for (const Gate& g : diamondsAt[world]) addDiamond(g, world);
  std::vector<Gate>().swap(diamondsAt[world]);
}

void LazyWorlds::addTopLevel(const std::vector<S5lit>& lits) {
  bool single = lits.size() == 1;
  std::vector<int> top;
  for (const S5lit& l : lits) {
    if (!isModal(l)) {
      top.push_back(variable(l.lits[0], 0));
      continue;
    }
    Gate g{single ? 0 : newGate(), memberPool.size(), l.lits.size()};
    memberPool.insert(memberPool.end(), l.lits.begin(), l.lits.end());
    if (g.var != 0) top.push_back(g.var);
    if (l.type == 1) {
      boxes.push_back(g);
      for (int w = 0; w < static_cast<int>(active.size()); w++)
        if (active[w]) addBox(g, w);
      continue;
    }
    int w = std::max(l.world, 0);
    if (g.var != 0) sink.preferFalse(g.var);
    if (active[w]) {
      addDiamond(g, w);
    } else {
      diamondsAt[w].push_back(g);
    }
  }
  if (!single || !isModal(lits[0])) sink.add(top);
}

void LazyWorlds::encodeFirstRound() {
  active[0] = 1;
  activeCount = 1;
  for (const auto& c : cs.clauses)
    if (c.size() == 1 && c[0].type == 2 && c[0].world > 0 && !active[c[0].world]) {
      active[c[0].world] = 1;
      activeCount++;
    }
  for (const auto& c : cs.clauses) addTopLevel(c);
}

int LazyWorlds::activateUsedWorlds(ModelView& model) {
  std::vector<int> used;
  for (size_t w = 1; w < diamondsAt.size(); w++) {
    if (active[w]) continue;
    for (const Gate& g : diamondsAt[w])
      if (model.isTrue(g.var)) {
        used.push_back(static_cast<int>(w));
        break;
      }
  }
  for (int w : used) activate(w);
  return static_cast<int>(used.size());
}

std::vector<std::vector<int>> LazyWorlds::decodeModel(ModelView& model) const {
  std::vector<int> rank(active.size(), -1);
  int next = 0;
  for (size_t w = 0; w < active.size(); w++)
    if (active[w]) rank[w] = next++;
  std::vector<std::vector<int>> worlds(std::max(next, 1));
  for (size_t v = 0; v < atomWorldOf.size(); v++) {
    auto [atom, world] = atomWorldOf[v];
    if (atom == 0 || rank[world] < 0) continue;
    bool value = model.isTrue(static_cast<int>(v) + 1);
    worlds[rank[world]].push_back(value ? atom : -atom);
  }
  return worlds;
}

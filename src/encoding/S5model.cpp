#include "encoding/S5model.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "clauseset/AtomIndex.h"

void printS5Model(const std::vector<std::vector<int>>& worlds, const AtomNames& names, FILE* out) {
  std::string text = "c ===== S5-model====\n";
  if (worlds.empty() || worlds[0].empty()) text += "v possible world0: any assignment is ok!";
  for (size_t w = 0; w < worlds.size(); w++) {
    for (size_t i = 0; i < worlds[w].size(); i++) {
      int e = worlds[w][i];
      if (i == 0) text += "v possible world" + std::to_string(w) + ": ";
      text += (e < 0 ? " -" : " ") + names.name(std::abs(e));
    }
    text += '\n';
  }
  std::fputs(text.c_str(), out);
}

namespace {

// Truth values of every atom of a clause set in each world of a model.
class WorldValues {
 public:
  WorldValues(const S5clauSet& cs, const std::vector<std::vector<int>>& worlds) : index(cs) {
    size_t atoms = 0;
    for (const auto& c : cs.clauses)
      for (const S5lit& l : c)
        for (int x : l.lits) atoms = std::max(atoms, index.of(std::abs(x)) + 1);
    rows.assign(worlds.size(), std::vector<char>(atoms, 0));
    for (size_t w = 0; w < worlds.size(); w++)
      for (int e : worlds[w]) {
        long a = index.find(std::abs(e));
        if (a >= 0) rows[w][static_cast<size_t>(a)] = e > 0;
      }
  }
  size_t worldCount() const { return rows.size(); }
  bool isTrue(int lit, size_t world) const {
    bool v = rows[world][static_cast<size_t>(index.find(std::abs(lit)))] != 0;
    return lit > 0 ? v : !v;
  }
  bool isWitness(const S5lit& d, size_t world) const {
    for (int x : d.lits)
      if (!isTrue(x, world)) return false;
    return true;
  }
  bool isBoxTrue(const S5lit& b) const {
    for (size_t w = 0; w < rows.size(); w++) {
      bool some = false;
      for (size_t i = 0; i < b.lits.size() && !some; i++) some = isTrue(b.lits[i], w);
      if (!some) return false;
    }
    return true;
  }

 private:
  AtomIndex index;
  std::vector<std::vector<char>> rows;
};

}  // namespace

std::vector<size_t> neededWorldList(const S5clauSet& cs, const std::vector<std::vector<int>>& worlds) {
  WorldValues model(cs, worlds);
  std::vector<size_t> kept{0};
  std::vector<char> isKept(model.worldCount(), 0);
  isKept[0] = 1;
  for (const auto& c : cs.clauses) {
    bool done = false;
    for (size_t i = 0; i < c.size() && !done; i++)
      done = (c[i].type == LitKind::Prop && model.isTrue(c[i].lits[0], 0)) || (c[i].type == LitKind::Box && model.isBoxTrue(c[i]));
    for (size_t i = 0; i < c.size() && !done; i++)
      if (c[i].type == LitKind::Diamond)
        for (size_t w : kept) done = done || model.isWitness(c[i], w);
    // A new world only for a clause the kept ones leave false; the first
    // witness found serves.
    for (size_t w = 1; w < model.worldCount() && !done; w++) {
      if (isKept[w]) continue;
      for (size_t i = 0; i < c.size() && !done; i++) done = c[i].type == LitKind::Diamond && model.isWitness(c[i], w);
      if (done) {
        kept.push_back(w);
        isKept[w] = 1;
      }
    }
    // Not a model of `cs` after all: keep every world rather than guess.
    if (!done) {
      kept.resize(model.worldCount());
      for (size_t w = 0; w < kept.size(); w++) kept[w] = w;
      return kept;
    }
  }
  std::sort(kept.begin(), kept.end());
  return kept;
}

int neededWorlds(const S5clauSet& cs, const std::vector<std::vector<int>>& worlds) {
  return static_cast<int>(neededWorldList(cs, worlds).size());
}

std::vector<std::vector<int>> decodeWorlds(const AtomWorldOf& atomWorldOf, const std::vector<int>& rank,
                                           const std::function<bool(int)>& isTrue) {
  int worlds = 0;
  for (int r : rank) worlds = std::max(worlds, r + 1);
  std::vector<std::vector<int>> model(static_cast<size_t>(std::max(worlds, 1)));
  for (size_t v = 0; v < atomWorldOf.size(); v++) {
    auto [atom, world] = atomWorldOf[v];
    if (atom == 0 || rank[static_cast<size_t>(world)] < 0) continue;
    bool value = isTrue(static_cast<int>(v) + 1);
    model[static_cast<size_t>(rank[static_cast<size_t>(world)])].push_back(value ? atom : -atom);
  }
  return model;
}

// The number of worlds a model needs: diamond clauses whose witnesses may
// clash get different worlds. Literal-indexed stamp arrays stand in for the
// per-clause sets and maps, so each clause costs only what it reaches.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "clauseset/S5clauSet.h"

namespace {

bool isWatchedBox(const S5lit& l) { return l.type == 1 && l.lits.size() >= 2; }

// Index of a literal in the literal-indexed arrays: 2 * atom + sign. Atom
// numbers are the user's, so a formula with one huge atom number gets dense
// indices from a table instead of arrays as long as that number.
class LiteralSlots {
 public:
  explicit LiteralSlots(const std::vector<std::vector<S5lit>>& clauses) {
    int largest = 0;
    for (const auto& c : clauses)
      for (const S5lit& l : c)
        for (int x : l.lits) {
          largest = std::max(largest, std::abs(x));
          dense.emplace(std::abs(x), static_cast<int>(dense.size()));
        }
    direct = static_cast<size_t>(largest) <= 4 * dense.size() + 1024;
    if (direct) dense.clear();
    count = 2 * (direct ? static_cast<size_t>(largest) + 1 : dense.size());
  }
  size_t size() const { return count; }
  size_t operator()(int lit) const {
    size_t atom = direct ? static_cast<size_t>(std::abs(lit)) : static_cast<size_t>(dense.at(std::abs(lit)));
    return 2 * atom + (lit < 0);
  }

 private:
  std::unordered_map<int, int> dense;
  bool direct = true;
  size_t count = 0;
};

// Members that occur in every Diamond literal of the clause: only these surely
// hold in its witness world, so only their complements may be blocked.
std::vector<int> sureMembers(const std::vector<S5lit>& clause) {
  std::vector<int> sure;
  bool first = true;
  for (const S5lit& l : clause) {
    if (l.type != 2) continue;
    std::vector<int> members = l.lits;
    std::sort(members.begin(), members.end());
    members.erase(std::unique(members.begin(), members.end()), members.end());
    if (first) {
      sure = members;
      first = false;
    } else {
      std::vector<int> both;
      std::set_intersection(sure.begin(), sure.end(), members.begin(), members.end(), std::back_inserter(both));
      sure.swap(both);
    }
  }
  return sure;
}

// The literals that may hold in the witness world of one diamond clause.
class ReachSearch {
 public:
  ReachSearch(const S5clauSet& cs, const LiteralSlots& slot)
      : cs(cs), slot(slot), inReach(slot.size(), 0), visited(slot.size(), 0) {}

  // The reach depends only on the Diamond members and the sure ones, and
  // normal forms repeat such clauses by the thousand: each is searched once.
  const std::vector<int>& reach(const std::vector<S5lit>& clause) {
    std::vector<int> sure = sureMembers(clause);
    key.clear();
    for (const S5lit& l : clause)
      if (l.type == 2) key.insert(key.end(), l.lits.begin(), l.lits.end());
    std::sort(key.begin(), key.end());
    key.erase(std::unique(key.begin(), key.end()), key.end());
    key.push_back(0);
    key.insert(key.end(), sure.begin(), sure.end());
    auto known = memo.find(key);
    if (known != memo.end()) return known->second;
    stamp++;
    reached.clear();
    clearQ(queue);
    for (const S5lit& l : clause) {
      if (l.type != 2) continue;
      for (int m : l.lits) {
        queue.push(m);
        addToReach(m);
      }
    }
    for (int m : sure) visited[slot(-m)] = stamp;
    propagate();
    return memo.emplace(key, reached).first->second;
  }

 private:
  const S5clauSet& cs;
  const LiteralSlots& slot;
  std::vector<unsigned> inReach, visited;
  unsigned stamp = 0;
  std::vector<int> reached, key;
  std::queue<int> queue;
  std::unordered_map<std::vector<int>, std::vector<int>, IntVectorHash> memo;

  void addToReach(int lit) {
    if (inReach[slot(lit)] == stamp) return;
    inReach[slot(lit)] = stamp;
    reached.push_back(lit);
  }

  void propagate() {
    while (!queue.empty()) {
      int x = queue.front();
      queue.pop();
      if (visited[slot(x)] == stamp) continue;
      addToReach(x);
      visited[slot(x)] = stamp;
      auto watched = cs.watchList.find(x);
      if (watched == cs.watchList.end()) continue;
      for (int c : watched->second)
        for (const S5lit& l : cs.clauses[c])
          if (isWatchedBox(l))
            for (int m : l.lits)
              if (m != -x) queue.push(m);
    }
  }
};

}  // namespace

void S5clauSet::iniWatchList() {
  for (size_t c = 0; c < clauses.size(); c++)
    for (const S5lit& l : clauses[c])
      if (isWatchedBox(l))
        for (int m : l.lits) watchList[-m].push_back(static_cast<int>(c));
}

void S5clauSet::iniDiamconflict() {
  size_t d = diamClauses.size();
  diamConflict.assign(d, {});
  for (size_t i = 0; i < d; i++) cwdList.push_back(ClauWithDi{static_cast<int>(i), 0});
  LiteralSlots slot(clauses);

  // byComplement[slot(r)]: the diamond clauses with a Diamond member -r.
  std::vector<std::vector<int>> byComplement(slot.size());
  for (size_t j = 0; j < d; j++)
    for (const S5lit& l : clauses[diamClauses[j]])
      if (l.type == 2)
        for (int m : l.lits) {
          auto& list = byComplement[slot(-m)];
          if (list.empty() || list.back() != static_cast<int>(j)) list.push_back(static_cast<int>(j));
        }

  ReachSearch search(*this, slot);
  std::vector<size_t> seen(d, SIZE_MAX);
  for (size_t i = 0; i < d; i++) {
    size_t firstNew = diamConflict[i].size();
    for (int r : search.reach(clauses[diamClauses[i]])) {
      // Lists ascend, so the clauses before i (tested from their own side) are skipped unseen.
      const auto& holders = byComplement[slot(r)];
      for (auto it = std::upper_bound(holders.begin(), holders.end(), static_cast<int>(i)); it != holders.end(); ++it) {
        int j = *it;
        if (seen[j] == i) continue;
        seen[j] = i;
        diamConflict[i].push_back(j);
        diamConflict[j].push_back(static_cast<int>(i));
        cwdList[i].conflictN++;
        cwdList[j].conflictN++;
      }
    }
    std::sort(diamConflict[i].begin() + static_cast<long>(firstNew), diamConflict[i].end());
  }
  std::stable_sort(cwdList.begin(), cwdList.end(), CompLess());
}

bool S5clauSet::isConflict(int i, int j) const {
  const auto& row = diamConflict[i];
  return std::binary_search(row.begin(), row.end(), j);
}

int S5clauSet::decideWorldN() {
  size_t d = cwdList.size();
  std::vector<int> groupOf(d, -1);
  std::vector<size_t> markedFor;  // per group: the clause for which it is blocked
  for (size_t k = 0; k < d; k++) {
    int x = cwdList[k].diamIdx;
    for (int nb : diamConflict[x])
      if (groupOf[nb] >= 0) markedFor[groupOf[nb]] = k;
    size_t g = 0;
    while (g < markedFor.size() && markedFor[g] == k) g++;
    if (g == markedFor.size()) markedFor.push_back(SIZE_MAX);
    groupOf[x] = static_cast<int>(g);
    for (S5lit& l : clauses[diamClauses[x]])
      if (l.type == 2) l.world = static_cast<int>(g) + 1;
  }
  worldN = static_cast<int>(markedFor.size()) + 1;
  return worldN;
}

int S5clauSet::decideClassicWorldN() {
  for (size_t i = 0; i < diamClauses.size(); i++)
    for (S5lit& l : clauses[diamClauses[i]])
      if (l.type == 2) l.world = static_cast<int>(i) + 1;
  worldN = static_cast<int>(diamClauses.size()) + 1;
  return worldN;
}

void S5clauSet::DelDiamconfl() { std::vector<std::vector<int>>().swap(diamConflict); }

// The number of worlds a model needs: diamond clauses whose witnesses may
// clash get different worlds. Literal-indexed stamp arrays stand in for the
// per-clause sets and maps, so each clause costs only what it reaches. Where
// the conflicts are dense (each witness may clash with most others), the
// analysis costs the square of the input while the grouping saves little, so
// a work budget linear in the input stops it and every diamond clause gets a
// world of its own.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <queue>
#include <unordered_map>

#include "clauseset/S5clauSet.h"

namespace {

bool isWatchedBox(const S5lit& l) { return l.type == LitKind::Box && l.lits.size() >= 2; }

// Key k: the clauses holding a Box literal with two or more members, one of
// which is -k (a clause once per such member).
using WatchList = std::unordered_map<int, std::vector<int>>;

struct ClauWithDi {
  int diamIdx = 0;    // position in diamClauses
  int conflictN = 0;  // number of diamond clauses it conflicts with
};

struct CompLess {
  bool operator()(const ClauWithDi& a, const ClauWithDi& b) const { return a.conflictN < b.conflictN; }
};

// Index of a literal in the literal-indexed arrays: 2 * atom + sign. Only
// members of Box and Diamond literals are ever looked up, so propositional
// literals take no room. Atom numbers are the user's, so a formula with one
// huge atom number gets dense indices from a table instead of arrays as long
// as that number.
class LiteralSlots {
 public:
  explicit LiteralSlots(const std::vector<std::vector<S5lit>>& clauses) {
    int largest = 0;
    size_t members = 0;
    forEachMember(clauses, [&](int x) {
      largest = std::max(largest, std::abs(x));
      members++;
    });
    direct = static_cast<size_t>(largest) <= 4 * members + 1024;
    if (!direct) forEachMember(clauses, [&](int x) { dense.emplace(std::abs(x), static_cast<int>(dense.size())); });
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

  template <class Visit>
  static void forEachMember(const std::vector<std::vector<S5lit>>& clauses, Visit visit) {
    for (const auto& c : clauses)
      for (const S5lit& l : c)
        if (l.isModal())
          for (int x : l.lits) visit(x);
  }
};

// Members that occur in every Diamond literal of the clause: only these surely
// hold in its witness world, so only their complements may be blocked.
std::vector<int> sureMembers(const std::vector<S5lit>& clause) {
  std::vector<int> sure;
  bool first = true;
  for (const S5lit& l : clause) {
    if (l.type != LitKind::Diamond) continue;
    std::vector<int> members = sortedMembers(l);
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

// What the conflicts of a diamond clause depend on: its Diamond members
// (sorted, no repeats), then 0, then its sure members. Normal forms repeat
// such clauses by the thousand, so the relation is kept between their classes.
std::vector<int> classKey(const std::vector<S5lit>& clause) {
  std::vector<int> key;
  for (const S5lit& l : clause)
    if (l.type == LitKind::Diamond) key.insert(key.end(), l.lits.begin(), l.lits.end());
  std::sort(key.begin(), key.end());
  key.erase(std::unique(key.begin(), key.end()), key.end());
  key.push_back(0);
  std::vector<int> sure = sureMembers(clause);
  key.insert(key.end(), sure.begin(), sure.end());
  return key;
}

// Work units left to the analysis: a literal or a clause pair looked at.
class WorkBudget {
 public:
  explicit WorkBudget(long long units) : left(units) {}
  // Takes n units; false once the budget is spent.
  bool spend(long long n) {
    left -= n;
    return left >= 0;
  }
  bool isSpent() const { return left < 0; }

 private:
  long long left;
};

// The literals that may hold in the witness world of one diamond clause.
class ReachSearch {
 public:
  ReachSearch(const S5clauSet& cs, const WatchList& watchList, const LiteralSlots& slot, WorkBudget& budget)
      : cs(cs), watchList(watchList), slot(slot), budget(budget), inReach(slot.size(), 0), visited(slot.size(), 0),
        ready(slot.size(), 0), next(slot.size()) {}

  // The literals reached from the Diamond members of a clause, the
  // complements of its sure members blocked; cut short once the budget is
  // spent.
  const std::vector<int>& reach(const std::vector<S5lit>& clause) {
    stamp++;
    reached.clear();
    for (const S5lit& l : clause) {
      if (l.type != LitKind::Diamond) continue;
      for (int m : l.lits) {
        queue.push(m);
        addToReach(m);
      }
    }
    for (int m : sureMembers(clause)) visited[slot(-m)] = stamp;
    propagate();
    return reached;
  }

 private:
  const S5clauSet& cs;
  const WatchList& watchList;
  const LiteralSlots& slot;
  WorkBudget& budget;
  std::vector<unsigned> inReach, visited;
  std::vector<char> ready;               // per literal: `next` collected
  std::vector<std::vector<int>> next;    // per literal: its successors
  unsigned stamp = 0;
  std::vector<int> reached;
  std::queue<int> queue;

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
      const std::vector<int>& out = successors(x);
      if (!budget.spend(static_cast<long long>(out.size()) + 1)) break;
      for (int m : out) queue.push(m);
    }
    std::queue<int>().swap(queue);
  }

  // The members of the watched Boxes of every clause watching x, but -x:
  // collected once per literal, without repeats, since every search that
  // reaches x walks the same clauses.
  const std::vector<int>& successors(int x) {
    size_t at = slot(x);
    if (ready[at]) return next[at];
    ready[at] = 1;
    std::vector<int>& out = next[at];
    auto watched = watchList.find(x);
    if (watched == watchList.end()) return out;
    for (int c : watched->second)
      for (const S5lit& l : cs.clauses[c])
        if (isWatchedBox(l) && budget.spend(static_cast<long long>(l.lits.size())))
          for (int m : l.lits)
            if (m != -x) out.push_back(m);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    out.shrink_to_fit();
    return out;
  }
};

// The working data of one world-bound run, dropped once the worlds are set.
// The conflict relation between diamond clauses (positions in diamClauses)
// is kept between their classes: clauses with the same Diamond and sure
// members have the same conflicts. Clauses i < j conflict when
// conflictsOfEarlier[classOfDiamond[i]] holds classOfDiamond[j];
// conflictsOfLater is its transpose. Sparse, ascending.
struct WorldBound {
  WatchList watchList;
  std::vector<ClauWithDi> cwdList;  // by ascending conflict count
  std::vector<int> classOfDiamond;
  std::vector<std::vector<int>> conflictsOfEarlier, conflictsOfLater;

  void iniWatchList(const S5clauSet& cs);
  // false when the budget ran out first; the relation is then incomplete.
  bool iniDiamconflict(const S5clauSet& cs, WorkBudget& budget);
  bool isGroupingAffordable(WorkBudget& budget) const;
  void countConflicts();
  int assignWorlds(S5clauSet& cs) const;
};

void WorldBound::iniWatchList(const S5clauSet& cs) {
  for (size_t c = 0; c < cs.clauses.size(); c++)
    for (const S5lit& l : cs.clauses[c])
      if (isWatchedBox(l))
        for (int m : l.lits) watchList[-m].push_back(static_cast<int>(c));
}

bool WorldBound::iniDiamconflict(const S5clauSet& cs, WorkBudget& budget) {
  const auto& clauses = cs.clauses;
  const auto& diamClauses = cs.diamClauses;
  size_t d = diamClauses.size();
  LiteralSlots slot(clauses);
  std::vector<int> first;  // per class: its first diamond clause
  std::unordered_map<std::vector<int>, int, IntVectorHash> classOf;
  classOfDiamond.resize(d);
  for (size_t i = 0; i < d; i++) {
    auto known = classOf.emplace(classKey(clauses[diamClauses[i]]), static_cast<int>(first.size()));
    if (known.second) first.push_back(static_cast<int>(i));
    classOfDiamond[i] = known.first->second;
  }
  size_t k = first.size();

  // holders[slot(r)]: the classes with a Diamond member -r, ascending.
  std::vector<std::vector<int>> holders(slot.size());
  for (size_t b = 0; b < k; b++)
    for (const S5lit& l : clauses[diamClauses[first[b]]])
      if (l.type == LitKind::Diamond)
        for (int m : l.lits) {
          auto& list = holders[slot(-m)];
          if (list.empty() || list.back() != static_cast<int>(b)) list.push_back(static_cast<int>(b));
        }

  ReachSearch search(cs, watchList, slot, budget);
  conflictsOfEarlier.assign(k, {});
  std::vector<size_t> seen(k, SIZE_MAX);
  for (size_t a = 0; a < k; a++) {
    for (int r : search.reach(clauses[diamClauses[first[a]]])) {
      const std::vector<int>& meets = holders[slot(r)];
      if (!budget.spend(static_cast<long long>(meets.size()) + 1)) return false;
      for (int b : meets)
        if (seen[b] != a) {
          seen[b] = a;
          conflictsOfEarlier[a].push_back(b);
        }
    }
    if (budget.isSpent()) return false;
    std::sort(conflictsOfEarlier[a].begin(), conflictsOfEarlier[a].end());
  }
  conflictsOfLater.assign(k, {});
  for (size_t a = 0; a < k; a++)
    for (int b : conflictsOfEarlier[a]) conflictsOfLater[b].push_back(static_cast<int>(a));
  return true;
}

// Counting and grouping walk, per diamond clause, the clauses of every class
// its class conflicts with: the sum over conflicting class pairs of the
// products of their sizes.
bool WorldBound::isGroupingAffordable(WorkBudget& budget) const {
  std::vector<long long> size(conflictsOfEarlier.size(), 0);
  for (int c : classOfDiamond) size[c]++;
  for (size_t a = 0; a < conflictsOfEarlier.size(); a++)
    for (int b : conflictsOfEarlier[a])
      if (!budget.spend(2 * size[a] * size[b])) return false;
  return true;
}

// Diamond clause i < j conflict when the reach of i's class meets a
// complement of a Diamond member of j's class; counted per class of the
// partner from how many of its clauses stand before and after i.
void WorldBound::countConflicts() {
  size_t d = classOfDiamond.size(), k = conflictsOfEarlier.size();
  std::vector<int> total(k, 0), before(k, 0);
  for (int c : classOfDiamond) total[c]++;
  for (size_t i = 0; i < d; i++) {
    int c = classOfDiamond[i];
    long long n = 0;
    for (int b : conflictsOfEarlier[c]) n += total[b] - before[b] - (b == c ? 1 : 0);
    for (int a : conflictsOfLater[c]) n += before[a];
    cwdList.push_back(ClauWithDi{static_cast<int>(i), static_cast<int>(n)});
    before[c]++;
  }
  std::stable_sort(cwdList.begin(), cwdList.end(), CompLess());
}

// Greedy colouring in cwdList order: each diamond clause takes the first
// group that holds no clause it conflicts with; group g is world g + 1.
int WorldBound::assignWorlds(S5clauSet& cs) const {
  size_t d = cwdList.size(), k = conflictsOfEarlier.size();
  std::vector<std::vector<std::pair<int, int>>> placed(k);  // per class: (clause, group) so far
  std::vector<size_t> markedFor;  // per group: the step for which it is blocked
  // Blocks the groups of the placed clauses of class b on one side of x.
  auto block = [&](int b, int x, bool after, size_t step) {
    for (auto [j, g] : placed[b])
      if ((j > x) == after) markedFor[g] = step;
  };
  for (size_t step = 0; step < d; step++) {
    int x = cwdList[step].diamIdx, c = classOfDiamond[x];
    for (int b : conflictsOfEarlier[c]) block(b, x, true, step);
    for (int a : conflictsOfLater[c]) block(a, x, false, step);
    size_t g = 0;
    while (g < markedFor.size() && markedFor[g] == step) g++;
    if (g == markedFor.size()) markedFor.push_back(SIZE_MAX);
    placed[c].emplace_back(x, static_cast<int>(g));
    for (S5lit& l : cs.clauses[cs.diamClauses[x]])
      if (l.type == LitKind::Diamond) l.world = static_cast<int>(g) + 1;
  }
  return static_cast<int>(markedFor.size()) + 1;
}

}  // namespace

int S5clauSet::decideWorldN() {
  // Generous enough that inputs up to a few thousand Diamond clauses with
  // sparse conflicts are always analysed in full.
  long long size = 0;
  for (const auto& c : clauses)
    for (const S5lit& l : c) size += static_cast<long long>(l.lits.size());
  return decideWorldN(16 * size + (1 << 22));
}

int S5clauSet::decideWorldN(long long workBudget) {
  WorkBudget budget(workBudget);
  WorldBound bound;
  bound.iniWatchList(*this);
  analysisCutShort = !bound.iniDiamconflict(*this, budget) || !bound.isGroupingAffordable(budget);
  if (analysisCutShort) return decideClassicWorldN();
  bound.countConflicts();
  worldN = bound.assignWorlds(*this);
  return worldN;
}

int S5clauSet::decideClassicWorldN() {
  worldN = giveOwnWorlds(clauses, 1);
  return worldN;
}

#include "encoding/LazyWorlds.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Past this many Box members times possible worlds, Box clauses are added
// lazily; below it every active world gets them all at once, as few rounds
// as possible.
constexpr long long lazyBoxBudget = 1LL << 22;

bool isLargeForBoxes(const S5clauSet& cs) {
  long long boxMembers = 0;
  for (const auto& c : cs.clauses)
    for (const S5lit& l : c)
      if (l.type == LitKind::Box) boxMembers += static_cast<long long>(l.lits.size());
  return boxMembers * std::max(cs.worldN, 1) > lazyBoxBudget;
}

}  // namespace

LazyWorlds::LazyWorlds(const S5clauSet& cs, ClauseSink& sink, BoxClauses boxClauses)
    : cs(&cs), sink(sink), lazyBoxes(boxClauses == BoxClauses::Lazy || isLargeForBoxes(cs)),
      diamondsAt(std::max(cs.worldN, 1)), active(std::max(cs.worldN, 1), 0), tableWorld(std::max(cs.worldN, 1), -1),
      varOf(cs, 1) {}

LazyWorlds::LazyWorlds(ClauseSink& sink, BoxClauses boxClauses)
    : cs(nullptr), sink(sink), lazyBoxes(boxClauses == BoxClauses::Lazy), diamondsAt(1), active(1, 0), tableWorld(1, -1),
      varOf(1) {
  markActive(0);
}

int LazyWorlds::variable(int lit, int world) {
  int atom = std::abs(lit);
  int& var = varOf.slot(atom, tableWorld[world]);
  if (var == 0) {
    var = ++varCount;
    atomWorldOf.emplace_back(atom, world);
  }
  return lit > 0 ? var : -var;
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

void LazyWorlds::markActive(int world) {
  active[world] = 1;
  tableWorld[world] = activeCount++;
}

void LazyWorlds::activate(int world) {
  markActive(world);
  if (!lazyBoxes)
    for (const Gate& g : boxes) addBox(g, world);
  for (const Gate& g : diamondsAt[world]) addDiamond(g, world);
  std::vector<Gate>().swap(diamondsAt[world]);
}

// Sorted members without repeats; false when some atom occurs in both signs
// (a Box over them holds everywhere, a Diamond nowhere).
bool LazyWorlds::normalise(const S5lit& l) {
  sortedMembers(l, members);
  for (int m : members)
    if (m > 0 && std::binary_search(members.begin(), members.end(), -m)) return false;
  return true;
}

// The gate of a modal literal with normalised `members`. Equal literals (same
// kind, members and witness world) have the same definition, so they share
// one gate. A literal that is a clause of its own gets none (var 0), and an
// equal clause after it adds nothing.
LazyWorlds::Gate LazyWorlds::gateFor(const S5lit& l, bool single) {
  int world = l.type == LitKind::Diamond ? std::max(l.world, 0) : -1;
  key.assign({static_cast<int>(l.type) + (single ? 2 : 0), world});
  key.insert(key.end(), members.begin(), members.end());
  auto found = gateOf.find(key);
  if (found != gateOf.end()) return found->second;
  Gate g{single ? 0 : newGate(), memberPool.size(), members.size()};
  memberPool.insert(memberPool.end(), members.begin(), members.end());
  gateOf.emplace(key, g);
  if (l.type == LitKind::Box) {
    boxes.push_back(g);
    for (size_t w = 0; w < active.size(); w++)
      if (active[w] && (w == 0 || !lazyBoxes)) addBox(g, static_cast<int>(w));
    return g;
  }
  if (g.var != 0) sink.preferFalse(g.var);
  if (active[world]) {
    addDiamond(g, world);
  } else {
    diamondsAt[world].push_back(g);
  }
  return g;
}

void LazyWorlds::addTopLevel(const std::vector<S5lit>& lits) {
  bool single = lits.size() == 1;
  top.clear();
  for (const S5lit& l : lits) {
    if (!l.isModal()) {
      top.push_back(variable(l.lits[0], 0));
      continue;
    }
    if (!normalise(l)) {
      if (l.type == LitKind::Box) return;  // the clause holds in every model
      continue;                 // this Diamond never holds
    }
    Gate g = gateFor(l, single);
    if (single) return;
    top.push_back(g.var);
  }
  sink.add(top);
}

void LazyWorlds::encodeFirstRound() {
  markActive(0);
  for (const auto& c : cs->clauses)
    if (c.size() == 1 && c[0].type == LitKind::Diamond && c[0].world > 0 && !active[c[0].world])
      markActive(c[0].world);
  for (const auto& c : cs->clauses) addTopLevel(c);
}

void LazyWorlds::growWorlds(int worldN) {
  size_t n = static_cast<size_t>(std::max(worldN, 1));
  if (n <= active.size()) return;
  diamondsAt.resize(n);
  active.resize(n, 0);
  tableWorld.resize(n, -1);
}

// A clause that is a single Diamond has no gate to tell a model's choice:
// its witness world is needed at once, as in the first round.
void LazyWorlds::addClauses(const std::vector<std::vector<S5lit>>& clauses, int worldN) {
  growWorlds(worldN);
  for (const auto& c : clauses)
    if (c.size() == 1 && c[0].type == LitKind::Diamond && c[0].world > 0 && !active[c[0].world]) activate(c[0].world);
  for (const auto& c : clauses) addTopLevel(c);
}

// Whether the model makes every member of `g` true in one active world: then
// the Diamond is witnessed there and needs no world of its own.
bool LazyWorlds::isWitnessedActive(const Gate& g, ModelView& model) const {
  for (size_t w = 0; w < active.size(); w++) {
    if (!active[w]) continue;
    bool holds = true;
    for (size_t i = 0; i < g.count && holds; i++) {
      int lit = memberPool[g.members + i];
      int var = varOf.find(std::abs(lit), tableWorld[w]);
      holds = var != 0 && model.isTrue(lit > 0 ? var : -var);
    }
    if (holds) return true;
  }
  return false;
}

// Whether the model satisfies the Box's members in `world`; an atom without a
// variable there is false, as the decoded model has it.
bool LazyWorlds::holdsIn(const Gate& box, int world, ModelView& model) const {
  for (size_t i = 0; i < box.count; i++) {
    int lit = memberPool[box.members + i];
    int var = varOf.find(std::abs(lit), tableWorld[world]);
    if (var == 0 ? lit < 0 : model.isTrue(lit > 0 ? var : -var)) return true;
  }
  return false;
}

std::vector<int> LazyWorlds::usedWorlds(ModelView& model) const {
  std::vector<int> used;
  for (size_t w = 1; w < diamondsAt.size(); w++) {
    if (active[w]) continue;
    for (const Gate& g : diamondsAt[w])
      if (model.isTrue(g.var) && !isWitnessedActive(g, model)) {
        used.push_back(static_cast<int>(w));
        break;
      }
  }
  return used;
}

// (Box, world) pairs of true Boxes whose clause the model violates in an
// active world; world 0 has every Box clause from the start.
std::vector<std::pair<size_t, int>> LazyWorlds::violatedBoxes(ModelView& model) const {
  std::vector<std::pair<size_t, int>> violated;
  if (!lazyBoxes) return violated;
  std::vector<size_t> held;
  for (size_t b = 0; b < boxes.size(); b++)
    if (boxes[b].var == 0 || model.isTrue(boxes[b].var)) held.push_back(b);
  for (size_t w = 1; w < active.size(); w++)
    if (active[w])
      for (size_t b : held)
        if (!holdsIn(boxes[b], static_cast<int>(w), model)) violated.emplace_back(b, static_cast<int>(w));
  return violated;
}

int LazyWorlds::refine(ModelView& model) {
  std::vector<int> used = usedWorlds(model);
  std::vector<std::pair<size_t, int>> violated = violatedBoxes(model);
  for (auto [b, w] : violated) addBox(boxes[b], w);
  for (int w : used) activate(w);
  return static_cast<int>(used.size() + violated.size());
}

std::vector<std::vector<int>> LazyWorlds::decodeModel(ModelView& model) const {
  std::vector<int> rank(active.size(), -1);
  int next = 0;
  for (size_t w = 0; w < active.size(); w++)
    if (active[w]) rank[w] = next++;
  return decodeWorlds(atomWorldOf, rank, [&](int v) { return model.isTrue(v); });
}

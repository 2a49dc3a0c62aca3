#include "encoding/LazyWorlds.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Past this many Box members times worlds, Box clauses are added lazily;
// below it every active world gets them all at once, as few rounds as
// possible. The worlds are the possible ones with grouped witnesses, the
// active ones with shared witnesses, which open few.
constexpr long long lazyBoxBudget = 1LL << 22;

long long boxMembersOf(const S5clauSet& cs) {
  long long boxMembers = 0;
  for (const auto& c : cs.clauses)
    for (const S5lit& l : c)
      if (l.type == LitKind::Box) boxMembers += static_cast<long long>(l.lits.size());
  return boxMembers;
}

bool isLargeForBoxes(long long boxMembers, int worlds) { return boxMembers * std::max(worlds, 1) > lazyBoxBudget; }

}  // namespace

LazyWorlds::LazyWorlds(const S5clauSet& cs, ClauseSink& sink, BoxClauses boxClauses, WitnessChoice witnesses)
    : cs(&cs), sink(sink),
      shared(witnesses == WitnessChoice::Shared || (witnesses == WitnessChoice::ByBound && cs.analysisCutShort)),
      diamondsAt(std::max(cs.worldN, 1)), active(std::max(cs.worldN, 1), 0), tableWorld(std::max(cs.worldN, 1), -1),
      varOf(cs, 1) {
  boxMembers = boxMembersOf(cs);
  lazyBoxes = boxClauses == BoxClauses::Lazy || isLargeForBoxes(boxMembers, cs.worldN);
  sharedBoxesEager = shared && boxClauses != BoxClauses::Lazy;
}

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
  activeOrder.push_back(world);
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
  if (shared && g.var != 0) {
    addShared(g, world);
  } else if (active[world]) {
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
    if (active[w] && !(w < boxesComplete.size() && boxesComplete[w]))
      for (size_t b : held)
        if (!holdsIn(boxes[b], static_cast<int>(w), model)) violated.emplace_back(b, static_cast<int>(w));
  return violated;
}

void LazyWorlds::addShared(const Gate& g, int own) {
  sharedDiamonds.push_back({g, own, false, {}});
  addCandidate(sharedDiamonds.back(), 0);
}

void LazyWorlds::addCandidate(SharedDiamond& d, int world) {
  int candidate = newGate();
  for (size_t i = 0; i < d.gate.count; i++) sink.add({-candidate, variable(memberPool[d.gate.members + i], world)});
  d.candidates.emplace_back(world, candidate);
  candidatesChanged = true;
}

bool LazyWorlds::isCandidate(const SharedDiamond& d, int world) const {
  for (const auto& c : d.candidates)
    if (c.first == world) return true;
  return false;
}

// gate -> one of the candidates, under `guard` unless 0.
void LazyWorlds::addWitnessChoice(const SharedDiamond& d, int guard) {
  clause.clear();
  if (guard != 0) clause.push_back(-guard);
  clause.push_back(-d.gate.var);
  for (const auto& c : d.candidates) clause.push_back(c.second);
  sink.add(clause);
}

std::vector<int> LazyWorlds::assumptions() {
  if (!candidatesChanged) return selector != 0 ? std::vector<int>{selector} : std::vector<int>{};
  candidatesChanged = false;
  if (selector != 0) sink.add({-selector});
  selector = 0;
  bool open = std::any_of(sharedDiamonds.begin(), sharedDiamonds.end(), [](const SharedDiamond& d) { return !d.final; });
  if (!open) return {};
  selector = newGate();
  sink.preferFalse(selector);
  for (const SharedDiamond& d : sharedDiamonds)
    if (!d.final) addWitnessChoice(d, selector);
  return {selector};
}

// The true shared Diamonds of a model that none of their candidates and no
// active world witnesses: possible only in a solve without assumptions().
std::vector<size_t> LazyWorlds::unwitnessedShared(ModelView& model) const {
  std::vector<size_t> out;
  for (size_t i = 0; i < sharedDiamonds.size(); i++) {
    const SharedDiamond& d = sharedDiamonds[i];
    if (d.final || !model.isTrue(d.gate.var)) continue;
    bool witnessed = std::any_of(d.candidates.begin(), d.candidates.end(),
                                 [&](const std::pair<int, int>& c) { return model.isTrue(c.second); });
    if (!witnessed && !isWitnessedActive(d.gate, model)) out.push_back(i);
  }
  return out;
}

// First fit among the worlds opened this round: the first whose Diamonds
// placed so far have no member complementary to one of `d`'s. Only the
// first few are tried, so a round costs linear time even when every
// Diamond clashes with every other.
bool LazyWorlds::placeInOpened(SharedDiamond& d, std::vector<Opened>& opened) {
  const int* first = &memberPool[d.gate.members];
  const int* last = first + d.gate.count;
  size_t tries = std::min<size_t>(opened.size(), 64);
  for (size_t k = 0; k < tries; k++) {
    std::vector<int>& placed = opened[k].placed;
    bool clashes = std::any_of(first, last, [&](int m) { return std::binary_search(placed.begin(), placed.end(), -m); });
    if (clashes) continue;
    addCandidate(d, opened[k].world);
    size_t middle = placed.size();
    placed.insert(placed.end(), first, last);
    std::inplace_merge(placed.begin(), placed.begin() + static_cast<std::ptrdiff_t>(middle), placed.end());
    return true;
  }
  return false;
}

// Gives `d` the worlds active before this round that are not its candidates
// yet, at most a few per round; returns how many.
int LazyWorlds::addEarlierWorlds(SharedDiamond& d, size_t earlier) {
  stamp++;
  for (const auto& c : d.candidates) candidateStamp[static_cast<size_t>(c.first)] = stamp;
  int added = 0;
  for (size_t k = 0; k < earlier && added < 64; k++) {
    int w = activeOrder[k];
    if (candidateStamp[static_cast<size_t>(w)] == stamp) continue;
    addCandidate(d, w);
    added++;
  }
  return added;
}

// Each Diamond in `needy` gets something more: the worlds active before
// this round that are not its candidates yet; else a world opened this round
// where it clashes with no Diamond placed there; else its own world (opened
// if need be); else its candidates become final. Finitely many of each, so
// the rounds end.
int LazyWorlds::placeShared(const std::vector<size_t>& needy) {
  std::vector<Opened> opened;
  size_t earlier = activeOrder.size();
  candidateStamp.resize(active.size(), 0);
  for (size_t i : needy) {
    SharedDiamond& d = sharedDiamonds[i];
    if (addEarlierWorlds(d, earlier) > 0 || placeInOpened(d, opened)) continue;
    if (!active[d.own]) {
      openShared(d.own);
      opened.push_back({d.own, std::vector<int>(&memberPool[d.gate.members], &memberPool[d.gate.members] + d.gate.count)});
      addCandidate(d, d.own);
    } else if (!isCandidate(d, d.own)) {
      addCandidate(d, d.own);
    } else {
      d.final = true;
      addWitnessChoice(d, 0);
    }
  }
  return static_cast<int>(needy.size());
}

// A world opened for shared Diamonds. Models need few of them, so each gets
// every Box clause at once while their Box members stay within the budget:
// lazy Box clauses would cost a round per violation found, and with
// Diamonds moving between worlds those rounds do not end soon. Every Box
// gate exists by now, as all come from the clause set.
void LazyWorlds::openShared(int world) {
  activate(world);
  sharedOpened++;
  if (!lazyBoxes || !sharedBoxesEager || isLargeForBoxes(boxMembers, sharedOpened)) return;
  boxesComplete.resize(active.size(), 0);
  boxesComplete[static_cast<size_t>(world)] = 1;
  for (const Gate& g : boxes) addBox(g, world);
}

int LazyWorlds::refine(ModelView& model) {
  std::vector<int> used = usedWorlds(model);
  std::vector<size_t> unwitnessed = unwitnessedShared(model);
  std::vector<std::pair<size_t, int>> violated = violatedBoxes(model);
  for (auto [b, w] : violated) addBox(boxes[b], w);
  for (int w : used) activate(w);
  return static_cast<int>(used.size() + violated.size()) + placeShared(unwitnessed);
}

std::vector<std::vector<int>> LazyWorlds::decodeModel(ModelView& model) const {
  std::vector<int> rank(active.size(), -1);
  int next = 0;
  for (size_t w = 0; w < active.size(); w++)
    if (active[w]) rank[w] = next++;
  return decodeWorlds(atomWorldOf, rank, [&](int v) { return model.isTrue(v); });
}

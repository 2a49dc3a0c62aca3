// The world bound: conflicts between diamond clauses and their grouping.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "clauseset/S5clauSet.h"

namespace {

S5lit P(int l) { return S5lit{LitKind::Prop, {l}, -1}; }
S5lit Box(std::vector<int> l) { return S5lit{LitKind::Box, std::move(l), -1}; }
S5lit Dia(std::vector<int> l) { return S5lit{LitKind::Diamond, std::move(l), -1}; }

S5clauSet makeSet(std::vector<std::vector<S5lit>> clauses) {
  S5clauSet cs;
  cs.clauses = std::move(clauses);
  cs.listDiamondClauses();
  return cs;
}

// The witness world of each diamond clause (that of its last Diamond literal).
std::vector<int> witnesses(const S5clauSet& cs) {
  std::vector<int> out;
  for (int c : cs.diamClauses) {
    out.push_back(-1);
    for (const S5lit& l : cs.clauses[c])
      if (l.type == LitKind::Diamond) out.back() = l.world;
  }
  return out;
}

// The classic bound's witnesses: world i + 1 for the i-th diamond clause.
std::vector<int> oneWorldEach(const S5clauSet& cs) {
  std::vector<int> worlds(cs.diamClauses.size());
  std::iota(worlds.begin(), worlds.end(), 1);
  return worlds;
}

// Diam(first), a chain of Boxes [](~i | i+1) from `first` to `last` (a link
// left out when `gap` names it), then Diam(-last).
std::vector<std::vector<S5lit>> chain(std::vector<int> first, int last, int gap) {
  std::vector<std::vector<S5lit>> clauses{{Dia(std::move(first))}};
  for (int i = 1; i < last; i++)
    if (i != gap) clauses.push_back({Box({-i, i + 1})});
  clauses.push_back({Dia({-last})});
  return clauses;
}

// Diam(1) and Diam(5) both reach 40 and clash with Diam(-40), not with each other.
std::vector<std::vector<S5lit>> chainWithSecondStart() {
  auto clauses = chain({1}, 40, 0);
  clauses.push_back({Dia({5})});
  return clauses;
}

// The worlds of a clause set and, where given, the witness world of each diamond clause.
TEST(WorldBound, WorldsOfConflictingDiamonds) {
  std::vector<std::vector<S5lit>> many;
  for (int i = 1; i <= 20000; i++) many.push_back({Dia({i % 2 ? i : -(i - 1)})});
  struct Case {
    std::vector<std::vector<S5lit>> clauses;
    int worlds;
    std::vector<int> witnesses = {};
  } cases[] = {
      {{{P(1)}}, 1},
      {{{Dia({1})}}, 2},
      {{{Dia({1})}, {Dia({2})}}, 2},
      {{{Dia({1})}, {Dia({-1})}}, 3},
      {{{Dia({1})}, {Dia({-3})}, {Box({-1, 3})}}, 3},
      {{{Dia({1})}, {Dia({-3})}, {Box({3})}}, 2},
      {{{P(2), Dia({1})}, {Dia({-2})}}, 2},  // a propositional literal says nothing about the witness world
      {chain({1}, 200, 0), 3},               // the clash 200 links down the chain
      {chain({7, 1}, 200, 0), 3},            // reached from a later member of the Diamond
      {chain({1}, 200, 150), 2},             // a missing link: nothing reaches -200
      {chain({1, -150}, 200, 0), 2},         // the sure member -150 blocks 150: the reach stops there
      {chainWithSecondStart(), 3},
      // 0 conflicts with 1 and 1 with 2: order 0, 2, 1; groups {0, 2} and {1}.
      {{{Dia({1})}, {Dia({-1, -2})}, {Dia({2})}}, 3, {1, 2, 1}},
      {many, 3},  // conflicts stay sparse
  };
  for (const Case& c : cases) {
    S5clauSet cs = makeSet(c.clauses);
    EXPECT_EQ(cs.decideWorldN(), c.worlds) << c.clauses.size() << " clauses";
    std::vector<int> got = witnesses(cs);
    EXPECT_TRUE(std::all_of(got.begin(), got.end(), [&](int w) { return w >= 1 && w < c.worlds; }) &&
                (c.witnesses.empty() || got == c.witnesses)) << testing::PrintToString(got);
  }
}

TEST(WorldBound, SeedsThatMayNotHoldDoNotBlockPropagation) {
  // [Box(-2,-1)], [-2, Diam(2)], [Diam(1)], [2]: witnesses of clauses 1 and 2 clash.
  S5clauSet cs = makeSet({{Box({-2, -1})}, {P(-2), Dia({2})}, {Dia({1})}, {P(2)}});
  EXPECT_EQ(cs.decideWorldN(), 3);
  EXPECT_NE(witnesses(cs)[0], witnesses(cs)[1]);
}

// Brute force: is there a model where world 0 is actual, Box literals hold in
// all `worlds` worlds and each Diamond literal in its clause's witness world
// (one for each diamond clause)?
bool satisfiable(const S5clauSet& cs, int atoms, int worlds, const std::vector<int>& witnesses) {
  std::vector<int> witness(cs.clauses.size(), 0);  // by clause
  for (size_t i = 0; i < witnesses.size(); i++) witness[cs.diamClauses[i]] = witnesses[i];
  for (long m = 0; m < 1L << (atoms * worlds); m++) {
    auto val = [&](int lit, int w) { return (((m >> (w * atoms + std::abs(lit) - 1)) & 1) != 0) == (lit > 0); };
    auto holds = [&](const S5lit& l, int c) {
      auto in = [&](int w) { return [&, w](int x) { return val(x, w); }; };
      if (l.type == LitKind::Prop) return val(l.lits[0], 0);
      if (l.type == LitKind::Diamond) return std::all_of(l.lits.begin(), l.lits.end(), in(witness[c]));
      for (int w = 0; w < worlds; w++)
        if (std::none_of(l.lits.begin(), l.lits.end(), in(w))) return false;
      return true;
    };
    bool all = true;
    for (size_t c = 0; c < cs.clauses.size() && all; c++)
      all = std::any_of(cs.clauses[c].begin(), cs.clauses[c].end(), [&](const S5lit& l) { return holds(l, c); });
    if (all) return true;
  }
  return false;
}

TEST(WorldBound, AssignedWorldsLoseNoModelOfTheClassicBound) {
  std::mt19937 rng(11);
  const int atoms = 3;
  int checked = 0;
  for (int round = 0; round < 3000; round++) {
    std::vector<std::vector<S5lit>> clauses;
    int n = 1 + static_cast<int>(rng() % 4);
    for (int c = 0; c < n; c++) {
      std::vector<S5lit> clause;
      int len = 1 + static_cast<int>(rng() % 2);
      for (int k = 0; k < len; k++) {
        auto lit = [&] { return (1 + static_cast<int>(rng() % atoms)) * (rng() % 2 ? 1 : -1); };
        auto kind = static_cast<LitKind>(rng() % 3);
        std::vector<int> members{lit()};
        if (kind != LitKind::Prop && rng() % 2) members.push_back(lit());
        clause.push_back(S5lit{kind, members, -1});
      }
      clauses.push_back(clause);
    }
    S5clauSet cs = makeSet(clauses);
    if (cs.diamClauses.size() > 3) continue;
    int worldN = cs.decideWorldN();
    int classicWorlds = static_cast<int>(cs.diamClauses.size()) + 1;
    ASSERT_LE(worldN, classicWorlds);
    ASSERT_EQ(satisfiable(cs, atoms, worldN, witnesses(cs)), satisfiable(cs, atoms, classicWorlds, oneWorldEach(cs)))
        << "round " << round;
    checked++;
  }
  EXPECT_GT(checked, 1000);
}

// Below the budget the grouping is exact; from the first budget that falls
// short on, one world per diamond clause. Either way equal clauses stay
// apart where they clash.
TEST(WorldBound, BudgetFallsBackToOneWorldPerDiamondClause) {
  const std::vector<std::vector<std::vector<S5lit>>> sets = {
      chainWithSecondStart(),
      chain({1}, 40, 20),
      {{Dia({1})}, {Dia({-1, -2})}, {Dia({2})}, {Dia({1})}, {Dia({3})}},
  };
  for (const auto& clauses : sets) {
    S5clauSet exact = makeSet(clauses);
    int exactWorlds = exact.decideWorldN();
    int classicWorlds = static_cast<int>(exact.diamClauses.size()) + 1;
    ASSERT_LT(exactWorlds, classicWorlds);
    bool fellBack = true;
    for (long long budget = 0; budget < 4000; budget++) {
      S5clauSet cs = makeSet(clauses);
      int worlds = cs.decideWorldN(budget);
      if (fellBack && worlds == exactWorlds) fellBack = false;
      if (fellBack) {
        ASSERT_EQ(worlds, classicWorlds) << "budget " << budget;
        EXPECT_EQ(witnesses(cs), oneWorldEach(cs)) << "budget " << budget;
      } else {
        ASSERT_EQ(worlds, exactWorlds) << "budget " << budget;
        EXPECT_EQ(cs.clauses, exact.clauses) << "budget " << budget;
      }
    }
    EXPECT_FALSE(fellBack) << "no budget below 4000 was enough";
    S5clauSet none = makeSet(clauses);
    EXPECT_EQ(none.decideWorldN(0), classicWorlds);
  }
}

}  // namespace

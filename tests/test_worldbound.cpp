// The world bound: conflicts between diamond clauses and their grouping.
#include <gtest/gtest.h>

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

int worldsOf(std::vector<std::vector<S5lit>> clauses) {
  S5clauSet cs = makeSet(std::move(clauses));
  return cs.decideWorldN();
}

TEST(WorldBound, ConflictExamples) {
  EXPECT_EQ(worldsOf({{P(1)}}), 1);
  EXPECT_EQ(worldsOf({{Dia({1})}}), 2);
  EXPECT_EQ(worldsOf({{Dia({1})}, {Dia({2})}}), 2);
  EXPECT_EQ(worldsOf({{Dia({1})}, {Dia({-1})}}), 3);
  EXPECT_EQ(worldsOf({{Dia({1})}, {Dia({-3})}, {Box({-1, 3})}}), 3);
  EXPECT_EQ(worldsOf({{Dia({1})}, {Dia({-3})}, {Box({3})}}), 2);
  // A propositional literal says nothing about the witness world.
  EXPECT_EQ(worldsOf({{P(2), Dia({1})}, {Dia({-2})}}), 2);
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

TEST(WorldBound, ConflictsFoundThroughMembersDeepInTheReach) {
  struct Case {
    std::vector<int> first;
    int last, gap, worlds;
  } cases[] = {
      {{1}, 200, 0, 3},       // the clash 200 links down the chain
      {{7, 1}, 200, 0, 3},    // reached from a later member of the Diamond
      {{1}, 200, 150, 2},     // a missing link: nothing reaches -200
      {{1, -150}, 200, 0, 2}, // the sure member -150 blocks 150: the reach stops there
  };
  for (const Case& c : cases) {
    S5clauSet cs = makeSet(chain(c.first, c.last, c.gap));
    EXPECT_EQ(cs.decideWorldN(), c.worlds) << c.last << " gap " << c.gap;
  }
}

TEST(WorldBound, SeedsThatMayNotHoldDoNotBlockPropagation) {
  // [Box(-2,-1)], [-2, Diam(2)], [Diam(1)], [2]: witnesses of clauses 1 and 2 clash.
  S5clauSet cs = makeSet({{Box({-2, -1})}, {P(-2), Dia({2})}, {Dia({1})}, {P(2)}});
  EXPECT_EQ(cs.decideWorldN(), 3);
  EXPECT_NE(cs.clauses[1][1].world, cs.clauses[2][0].world);
}

TEST(WorldBound, GroupingFollowsTheConflictCounts) {
  // 0 conflicts with 1 and 1 with 2: order 0, 2, 1; groups {0, 2} and {1}.
  S5clauSet cs = makeSet({{Dia({1})}, {Dia({-1, -2})}, {Dia({2})}});
  EXPECT_EQ(cs.decideWorldN(), 3);
  EXPECT_EQ(cs.clauses[0][0].world, 1);
  EXPECT_EQ(cs.clauses[2][0].world, 1);
  EXPECT_EQ(cs.clauses[1][0].world, 2);
}

// Brute force: is there a model where world 0 is actual, Box literals hold in
// all `worlds` worlds and each Diamond literal in the world `witness` gives?
bool satisfiable(const S5clauSet& cs, int atoms, int worlds, const std::vector<int>& witness) {
  long total = 1L << (atoms * worlds);
  auto val = [&](long m, int lit, int w) { return (((m >> (w * atoms + std::abs(lit) - 1)) & 1) != 0) == (lit > 0); };
  for (long m = 0; m < total; m++) {
    bool all = true;
    for (size_t c = 0; c < cs.clauses.size() && all; c++) {
      bool any = false;
      for (size_t k = 0; k < cs.clauses[c].size() && !any; k++) {
        const S5lit& l = cs.clauses[c][k];
        if (l.type == LitKind::Prop) {
          any = val(m, l.lits[0], 0);
        } else if (l.type == LitKind::Box) {
          any = true;
          for (int w = 0; w < worlds && any; w++) {
            bool some = false;
            for (int x : l.lits) some = some || val(m, x, w);
            any = some;
          }
        } else {
          any = true;
          for (int x : l.lits) any = any && val(m, x, witness[c]);
        }
      }
      all = any;
    }
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
    std::vector<int> classic(cs.clauses.size(), 0), assigned(cs.clauses.size(), 0);
    for (size_t i = 0; i < cs.diamClauses.size(); i++) {
      classic[cs.diamClauses[i]] = static_cast<int>(i) + 1;
      for (const S5lit& l : cs.clauses[cs.diamClauses[i]])
        if (l.type == LitKind::Diamond) assigned[cs.diamClauses[i]] = l.world;
    }
    int classicWorlds = static_cast<int>(cs.diamClauses.size()) + 1;
    ASSERT_LE(worldN, classicWorlds);
    ASSERT_EQ(satisfiable(cs, atoms, worldN, assigned), satisfiable(cs, atoms, classicWorlds, classic))
        << "round " << round;
    checked++;
  }
  EXPECT_GT(checked, 1000);
}

// Diam(1) and Diam(5) both reach 40 and clash with Diam(-40), not with each other.
std::vector<std::vector<S5lit>> chainWithSecondStart() {
  auto clauses = chain({1}, 40, 0);
  clauses.push_back({Dia({5})});
  return clauses;
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
        for (size_t i = 0; i < cs.diamClauses.size(); i++)
          EXPECT_EQ(cs.clauses[cs.diamClauses[i]][0].world, static_cast<int>(i) + 1);
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

TEST(WorldBound, ManyDiamondClausesStaySparse) {
  std::vector<std::vector<S5lit>> clauses;
  for (int i = 1; i <= 20000; i++) clauses.push_back({Dia({i % 2 ? i : -(i - 1)})});
  S5clauSet cs = makeSet(clauses);
  EXPECT_EQ(cs.decideWorldN(), 3);
}

}  // namespace

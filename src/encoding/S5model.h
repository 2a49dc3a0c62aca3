#pragma once
// The printed S5 model: one line per world, shared by every solve path.
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "clauseset/S5clauSet.h"
#include "frontend/AtomNames.h"

// require: worlds[w] holds the signed internal atoms assigned in world w (at
// least one world). ensure: the model block, header line first, each atom by
// its user's name from `names`, written to `out` in one piece.
void printS5Model(const std::vector<std::vector<int>>& worlds, const AtomNames& names, FILE* out);

// require: `worlds` is an S5 model of `cs` (world 0 the actual world; an atom
// a world does not list is false there). ensure: the number of its worlds
// that still make a model: world 0, plus, clause by clause, a world that
// witnesses one of its Diamonds for each clause that only a Diamond
// satisfies and no world kept so far witnesses. An upper bound on the
// fewest worlds of any model, at most worlds.size().
int neededWorlds(const S5clauSet& cs, const std::vector<std::vector<int>>& worlds);
// The same worlds themselves: their indices in `worlds`, ascending, 0 first.
std::vector<size_t> neededWorldList(const S5clauSet& cs, const std::vector<std::vector<int>>& worlds);

// Variable v of either encoding stands for atom atomWorldOf[v - 1].first in
// world atomWorldOf[v - 1].second; atom 0 marks a gate or selector variable.
using AtomWorldOf = std::vector<std::pair<int, int>>;

// The model decoder of both encoders. rank[w]: the number world w gets in
// the model, -1 to leave it out; ranks run 0, 1, ... without gaps.
// ensure: per ranked world the signed atoms of its variables, in variable
// order, by `isTrue` of each variable; at least one world.
std::vector<std::vector<int>> decodeWorlds(const AtomWorldOf& atomWorldOf, const std::vector<int>& rank,
                                           const std::function<bool(int)>& isTrue);

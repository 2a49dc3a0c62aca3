#pragma once
// The printed S5 model: one line per world, shared by every solve path.
#include <cstdio>
#include <vector>

#include "frontend/AtomNames.h"

// require: worlds[w] holds the signed internal atoms assigned in world w (at
// least one world). ensure: the model block, header line first, each atom by
// its user's name from `names`, written to `out` in one piece.
void printS5Model(const std::vector<std::vector<int>>& worlds, const AtomNames& names, FILE* out);

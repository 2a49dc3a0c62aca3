#pragma once
// The printed S5 model: one line per world, shared by every solve path.
#include <cstdio>
#include <vector>

// require: worlds[w] holds the signed atoms assigned in world w (at least one world).
// ensure: the model block, header line first, written to `out` in one piece.
void printS5Model(const std::vector<std::vector<int>>& worlds, FILE* out);

#pragma once
// Timing and status lines shared by the solve paths.
#include <cstdio>

#include "frontend/AtomNames.h"

// "c <label>" padded as the timing lines are, then "%12.2f", trailing blanks and a newline.
void printTimeLine(const char* label, double ms, int trailingBlanks = 65);
void printTotalTime(double startMs, int trailingBlanks = 65);
// One line "c atom NAME is N" per renumbered atom, in order of first appearance.
void printAtomNames(const AtomNames& names);

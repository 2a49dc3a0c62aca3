#pragma once
// Entry points of the generated scanner and parser of the formula file.
#include <cstdio>

#include "frontend/ASTNode.h"
#include "frontend/AtomNames.h"

// Parses one whole formula file from `input` (any earlier parse is forgotten).
// ensure: 0, `root` a new NT_ROOT node over the formula with internal atom
// numbers (pN is N; p0 and the vN above the largest pN, in order of first
// appearance) and `names` the user's names of the renumbered atoms; or, after
// a lexical or syntax error or when the renumbered atoms do not fit in an
// int (error 110), its line printed on standard output and 1.
int parseFormula(FILE* input, ASTNode*& root, AtomNames& names);
int parseFormula(FILE* input, ASTNode*& root);  // the names are dropped
int yyparse(ASTNode*& root);

#pragma once
// Shape tests on the multi-branch tree; none of them changes the tree.
#include "frontend/ASTNode.h"

// Propositional literal, Box over a disjunction or Diamond over a conjunction of them.
bool isS5lit(mbASTNode* n);
// A disjunction of S5 literals (a single S5 literal included).
bool isS5clause(mbASTNode* n);
// A conjunction of S5 clauses under the root; false for a childless root.
bool isS5CNF(mbASTNode* root);

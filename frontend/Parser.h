#pragma once
// Entry points of the generated scanner and parser of the formula file.
#include <cstdio>

#include "frontend/ASTNode.h"

extern FILE* yyin;
extern int yylineno;
extern char* yytext;
extern bool lexicalErrorSeen;  // set by the scanner when it reported an error

// Parses one whole formula file from `input` (any earlier parse is forgotten).
// ensure: 0 and `root` a new NT_ROOT node over the formula; or, after a
// lexical or syntax error, its line printed on standard output and 1.
int parseFormula(FILE* input, ASTNode*& root);
int yyparse(ASTNode*& root);

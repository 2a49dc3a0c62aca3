#pragma once
// Entry points of the generated scanner and parser of the formula file.
#include <cstdio>

#include "frontend/ASTNode.h"

extern FILE* yyin;
extern int yylineno;
extern char* yytext;

// require: yyin is the open formula file.
// ensure: on success `root` is a new NT_ROOT node over the formula and 0 is
// returned; a lexical or syntax error prints its line and exits with status 1.
int yyparse(ASTNode*& root);

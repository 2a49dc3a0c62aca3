%{
// Grammar of the formula file: "begin", one formula, "end" (or, when the
// caller allows it, the bare formula). A missing operand reads as false.
// There is no error recovery: the first error ends the parse.
#include <cstdlib>

#include "frontend/ASTNode.h"
#include "frontend/ParseState.h"

// Deep prefix chains and parentheses grow the stack; binary chains do not.
#define YYINITDEPTH 200
#define YYMAXDEPTH 1048576
// The grown stacks belong to the parse state (ParseState.h says why).
#define YYMALLOC(bytes) state.stacks.allocate(bytes)
#define YYFREE(block) state.stacks.free(block)

namespace {

ASTNode* unaryNode(int type, ASTNode* operand) {
  ASTNode* node = newASTNode(type);
  node->left = operand;
  operand->parent = node;
  return node;
}

}  // namespace
%}

%code requires {
#include "frontend/ASTNode.h"
#include "frontend/ParseState.h"
}

%code provides {
int s5yylex(S5YYSTYPE* value, yyscan_t scanner);
void s5yyerror(yyscan_t scanner, ParseState& state, const char* msg);
}

/* Pure and prefixed: no state outside the parse, and no clash with another
   generated parser of a program that embeds this one. */
%define api.pure full
%define api.prefix {s5yy}
%parse-param {yyscan_t scanner} {ParseState& state}
%lex-param {yyscan_t scanner}

%union {
  int num;
  ASTNode* node;
}

%token T_BEGIN T_END T_P
%token <num> T_NUM
%token T_TRUE T_FALSE T_BOX T_DIA T_NOT T_AND T_OR T_IMPLY T_IFF
%token T_ERROR  /* a lexical error or failed read, already recorded */
%token T_V      /* the atom prefix "v" */
%token T_BARE_OR_FILE  /* first, from the scanner, when a bare formula is allowed */

%type <node> formula

%left T_IMPLY
%left T_IFF
%left T_OR
%left T_AND
%precedence T_NOT T_BOX T_DIA

%expect 0

%%

input
  : file
  | T_BARE_OR_FILE file
  | T_BARE_OR_FILE formula   { state.root = unaryNode(NT_ROOT, $2); }
  ;

file
  : T_BEGIN formula T_END    { state.root = unaryNode(NT_ROOT, $2); }
  ;

formula
  : T_TRUE                   { $$ = newASTNode(NT_TRUE); }
  | T_FALSE                  { $$ = newASTNode(NT_FALSE); }
  | T_P T_NUM                { $$ = state.atomNode('p', $2); }
  | T_V T_NUM                { $$ = state.atomNode('v', $2); }
  | T_NOT formula            { $$ = unaryNode(NT_NOT, $2); }
  | T_BOX formula            { $$ = unaryNode(NT_BOX, $2); }
  | T_DIA formula            { $$ = unaryNode(NT_DIAMOND, $2); }
  | formula T_AND formula    { $$ = linkedNode(NT_AND, $1, $3); }
  | formula T_OR formula     { $$ = linkedNode(NT_OR, $1, $3); }
  | formula T_IMPLY formula  { $$ = linkedNode(NT_IMPLY, $1, $3); }
  | formula T_IFF formula    { $$ = linkedNode(NT_IFF, $1, $3); }
  | '(' formula ')'          { $$ = $2; }
  | %empty                   { $$ = newASTNode(NT_FALSE); }
  ;

%%

void s5yyerror(yyscan_t scanner, ParseState& state, const char* msg) {
  reportParseError(scanner, state, msg);
}

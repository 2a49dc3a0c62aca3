%{
// Grammar of the formula file: "begin", one formula, "end". A missing
// operand reads as false. There is no error recovery: the first error ends
// the parse.
#include <cstdio>

#include "frontend/ASTNode.h"
#include "frontend/Parser.h"

// Deep prefix chains and parentheses grow the stack; binary chains do not.
#define YYINITDEPTH 200
#define YYMAXDEPTH 1048576

int yylex();
extern char* yytext;
extern int yylineno;
void yyerror(ASTNode*& root, const char* msg);

namespace {

ASTNode* unaryNode(int type, ASTNode* operand) {
  ASTNode* node = newASTNode(type);
  node->left = operand;
  operand->parent = node;
  return node;
}

ASTNode* binaryNode(int type, ASTNode* first, ASTNode* second) {
  ASTNode* node = newASTNode(type);
  node->left = first;
  node->right = second;
  first->parent = node;
  second->parent = node;
  return node;
}

}  // namespace
%}

%code requires {
#include "frontend/ASTNode.h"
}

%parse-param {ASTNode*& root}

%union {
  int num;
  ASTNode* node;
}

%token T_BEGIN T_END T_P
%token <num> T_NUM
%token T_TRUE T_FALSE T_BOX T_DIA T_NOT T_AND T_OR T_IMPLY T_IFF
%token T_ERROR  /* a lexical error, already reported */

%type <node> formula

%left T_IMPLY
%left T_IFF
%left T_OR
%left T_AND
%precedence T_NOT T_BOX T_DIA

%expect 0

%%

file
  : T_BEGIN formula T_END    { root = unaryNode(NT_ROOT, $2); }
  ;

formula
  : T_TRUE                   { $$ = newASTNode(NT_TRUE); }
  | T_FALSE                  { $$ = newASTNode(NT_FALSE); }
  | T_P T_NUM                { $$ = newASTNode(NT_ATOM, $2); }
  | T_NOT formula            { $$ = unaryNode(NT_NOT, $2); }
  | T_BOX formula            { $$ = unaryNode(NT_BOX, $2); }
  | T_DIA formula            { $$ = unaryNode(NT_DIAMOND, $2); }
  | formula T_AND formula    { $$ = binaryNode(NT_AND, $1, $3); }
  | formula T_OR formula     { $$ = binaryNode(NT_OR, $1, $3); }
  | formula T_IMPLY formula  { $$ = binaryNode(NT_IMPLY, $1, $3); }
  | formula T_IFF formula    { $$ = binaryNode(NT_IFF, $1, $3); }
  | '(' formula ')'          { $$ = $2; }
  | %empty                   { $$ = newASTNode(NT_FALSE); }
  ;

%%

void yyerror(ASTNode*& /*root*/, const char* msg) {
  if (lexicalErrorSeen) return;
  std::printf("At line %d: %s--%s\n", yylineno, msg, yytext);
  std::fflush(stdout);
}

void yyrestart(FILE* input);

int parseFormula(FILE* input, ASTNode*& root) {
  yyin = input;
  yyrestart(input);
  yylineno = 1;
  lexicalErrorSeen = false;
  root = nullptr;
  return yyparse(root) == 0 && root != nullptr ? 0 : 1;
}

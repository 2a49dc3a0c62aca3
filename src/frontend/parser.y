%{
// Grammar of the formula file: "begin", one formula, "end". A missing
// operand reads as false. There is no error recovery: the first error ends
// the parse.
#include <climits>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "frontend/ASTNode.h"
#include "frontend/Parser.h"
#include "frontend/printError.h"

// Deep prefix chains and parentheses grow the stack; binary chains do not.
#define YYINITDEPTH 200
#define YYMAXDEPTH 1048576

// The scanner's globals (lexer.l says why they are global).
int yylex();
extern FILE* yyin;
extern char* yytext;
extern int yylineno;
extern bool lexicalErrorSeen;  // set by the scanner when it reported an error
void yyerror(ASTNode*& root, const char* msg);

namespace {

ASTNode* unaryNode(int type, ASTNode* operand) {
  ASTNode* node = newASTNode(type);
  node->left = operand;
  operand->parent = node;
  return node;
}

// The atoms of the file seen so far. A pN with N >= 1 is atom N. The leaf of
// a p0 or vN holds, until the parse is over, the index of its name in
// `names` (order of first appearance); parseFormula then adds largestP + 1
// to each leaf in `renamedLeaves`, so no walk over the tree is needed.
struct AtomsSeen {
  int largestP = 0;
  std::unordered_map<long long, int> index;  // key: -1 for p0, N for vN
  std::vector<std::string> names;
  std::vector<ASTNode*> renamedLeaves;
};
// One parse at a time, and the generated parser's actions reach nothing but
// globals and its one parameter (the root): so this lives here, private to
// this file, and parseFormula empties it before every parse.
AtomsSeen atomsSeen;

ASTNode* atomNode(char prefix, int number) {
  if (prefix == 'p' && number > 0) {
    if (number > atomsSeen.largestP) atomsSeen.largestP = number;
    return newASTNode(NT_ATOM, number);
  }
  long long key = prefix == 'p' ? -1 : number;
  auto found = atomsSeen.index.emplace(key, static_cast<int>(atomsSeen.names.size()));
  if (found.second) atomsSeen.names.push_back(prefix + std::to_string(number));
  ASTNode* leaf = newASTNode(NT_ATOM, found.first->second);
  atomsSeen.renamedLeaves.push_back(leaf);
  return leaf;
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
%token T_V      /* the atom prefix "v" */

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
  | T_P T_NUM                { $$ = atomNode('p', $2); }
  | T_V T_NUM                { $$ = atomNode('v', $2); }
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

void yyerror(ASTNode*& /*root*/, const char* msg) {
  if (lexicalErrorSeen) return;
  std::printf("At line %d: %s--%s\n", yylineno, msg, yytext);
  std::fflush(stdout);
}

void restartScanner(FILE* input);

namespace {

// Numbers the p0 and vN leaves above the largest pN; false after printing
// the error when they do not fit below INT_MAX.
bool numberRenamedAtoms(AtomNames& names) {
  if (atomsSeen.names.empty()) return true;
  long long room = static_cast<long long>(INT_MAX) - atomsSeen.largestP;
  if (static_cast<long long>(atomsSeen.names.size()) > room) {
    printError(110, "No atom number left for " + atomsSeen.names[static_cast<size_t>(room)] + "!");
    return false;
  }
  names.first = atomsSeen.largestP + 1;
  names.renamed = std::move(atomsSeen.names);
  for (ASTNode* leaf : atomsSeen.renamedLeaves) leaf->atom += names.first;
  return true;
}

}  // namespace

int parseFormula(FILE* input, ASTNode*& root, AtomNames& names) {
  yyin = input;
  restartScanner(input);
  yylineno = 1;
  lexicalErrorSeen = false;
  atomsSeen = AtomsSeen();
  names = AtomNames();
  root = nullptr;
  bool parsed = yyparse(root) == 0 && root != nullptr && numberRenamedAtoms(names);
  atomsSeen = AtomsSeen();
  return parsed ? 0 : 1;
}

int parseFormula(FILE* input, ASTNode*& root) {
  AtomNames names;
  return parseFormula(input, root, names);
}

#pragma once
// What one parse keeps besides the generated scanner's own state (in its
// scanner object) and the generated parser's (on its stacks): both reach it
// through their parameters, so parses share nothing.
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "frontend/ASTNode.h"
#include "frontend/AtomNames.h"
#include "frontend/Parser.h"

typedef void* yyscan_t;

// The parser's stacks beyond their first YYINITDEPTH entries are on the heap
// (up to YYMAXDEPTH); they are allocated here so that an exception out of the
// parser (the node limit, a scanner failure) does not leak them.
class ParserStackMemory {
 public:
  ParserStackMemory() = default;
  ParserStackMemory(const ParserStackMemory&) = delete;
  ParserStackMemory& operator=(const ParserStackMemory&) = delete;
  ~ParserStackMemory() {
    for (void* block : blocks) std::free(block);
  }
  void* allocate(size_t bytes) {
    void* block = std::malloc(bytes);
    if (block != nullptr) blocks.push_back(block);
    return block;
  }
  void free(void* block) {
    for (void*& b : blocks)
      if (b == block) {
        b = blocks.back();
        blocks.pop_back();
        break;
      }
    std::free(block);
  }

 private:
  std::vector<void*> blocks;  // two at most, while the stacks grow
};

struct ParseState {
  Framing framing = Framing::FileOnly;
  bool framingTold = false;  // the scanner hands the parser the framing before the first token
  int line = 1;              // 1-based line of the next character
  int column = 1;            // 1-based column of the next character
  int tokenColumn = 1;       // of the last token (on `line`: no token but blanks holds a newline)
  int prefixLine = 0, prefixColumn = 0;  // of the last atom prefix "p" or "v"
  SyntaxError error;         // the first error; its message is empty while there is none
  ASTNode* root = nullptr;   // set by the grammar's start rule
  ParserStackMemory stacks;

  // The atoms seen so far. A pN with N >= 1 is atom N. The leaf of a p0 or
  // vN holds, until the parse is over, the index of its name in `names`
  // (order of first appearance); numberRenamedAtoms then adds largestP + 1
  // to each leaf in `renamedLeaves`, so no walk over the tree is needed.
  int largestP = 0;
  std::unordered_map<long long, int> index;  // key: -1 for p0, N for vN
  std::vector<std::string> names;
  std::vector<std::pair<int, int>> namePositions;  // line and column of each name's first appearance
  std::vector<ASTNode*> renamedLeaves;

  bool failed() const { return !error.message.empty(); }
  // Keeps the first error only: the later ones follow from it.
  void fail(int line, int atColumn, std::string message);
  // Position bookkeeping: every token moves the column on by its length,
  // which is right for all but blanks and comments, the only tokens that can
  // hold a newline; their rule calls afterBlanks as well.
  void advance(size_t length) {
    tokenColumn = column;
    column += static_cast<int>(length);
  }
  void afterBlanks(const char* text, size_t length) {
    for (size_t i = 0; i < length; i++)
      if (text[i] == '\n') {
        line++;
        column = static_cast<int>(length - i);
      }
  }
  // The leaf of the atom `prefix` `number`, whose prefix was the last one scanned.
  ASTNode* atomNode(char prefix, int number);
  // Numbers the p0 and vN leaves above the largest pN; false with error 110
  // when they do not fit below INT_MAX.
  bool numberRenamedAtoms(AtomNames& out);
};

// Flex's own fatal errors (out of memory, an internal failure) as an exception.
struct ScannerFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A generated scanner over a whole stream or a text, feeding `state`.
// Defined with the scanner, which alone sees its interface.
class Scanner {
 public:
  Scanner(ParseState& state, FILE* input);
  Scanner(ParseState& state, const std::string& text);  // require: text.size() < INT_MAX
  ~Scanner();
  Scanner(const Scanner&) = delete;
  Scanner& operator=(const Scanner&) = delete;
  yyscan_t handle = nullptr;
};

// The generated parser. ensure: 0 with state.root set, or nonzero with state.error set.
int s5yyparse(yyscan_t scanner, ParseState& state);
// The parser's error report, with the scanner's current token and line.
void reportParseError(yyscan_t scanner, ParseState& state, const char* msg);

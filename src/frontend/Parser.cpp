// The parse of one formula: a scanner and a parser over one ParseState.
#include "frontend/Parser.h"

#include <climits>
#include <utility>

#include "frontend/FrontEndError.h"
#include "frontend/ParseState.h"

void ParseState::fail(int line, int atColumn, std::string message) {
  if (failed()) return;
  error.line = line;
  error.column = atColumn;
  error.message = std::move(message);
}

ASTNode* ParseState::atomNode(char prefix, int number) {
  if (prefix == 'p' && number > 0) {
    if (number > largestP) largestP = number;
    return newASTNode(NT_ATOM, number);
  }
  long long key = prefix == 'p' ? -1 : number;
  auto found = index.emplace(key, static_cast<int>(names.size()));
  if (found.second) {
    names.push_back(prefix + std::to_string(number));
    namePositions.emplace_back(prefixLine, prefixColumn);
  }
  ASTNode* leaf = newASTNode(NT_ATOM, found.first->second);
  renamedLeaves.push_back(leaf);
  return leaf;
}

bool ParseState::numberRenamedAtoms(AtomNames& out) {
  if (names.empty()) return true;
  long long room = static_cast<long long>(INT_MAX) - largestP;
  if (static_cast<long long>(names.size()) > room) {
    size_t first = static_cast<size_t>(room);
    fail(namePositions[first].first, namePositions[first].second,
         errorLine(110, "No atom number left for " + names[first] + "!"));
    return false;
  }
  out.first = largestP + 1;
  out.renamed = std::move(names);
  for (ASTNode* leaf : renamedLeaves) leaf->atom += out.first;
  return true;
}

namespace {

template <class Input>
bool parse(const Input& input, ASTNode*& root, AtomNames& names, SyntaxError& error, Framing framing) {
  NodeArena::current();  // the precondition, checked before any work
  ParseState state;
  state.framing = framing;
  names = AtomNames();
  try {
    Scanner scanner(state, input);
    if (s5yyparse(scanner.handle, state) == 0) state.numberRenamedAtoms(names);
  } catch (const ScannerFailure& failure) {
    state.fail(0, 0, std::string("Can't read the formula: ") + failure.what());
  }
  root = state.failed() ? nullptr : state.root;
  error = state.failed() ? std::move(state.error) : SyntaxError();
  return root != nullptr;
}

}  // namespace

bool parseFormula(FILE* input, ASTNode*& root, AtomNames& names, SyntaxError& error, Framing framing) {
  return parse(input, root, names, error, framing);
}

bool parseFormula(const std::string& text, ASTNode*& root, AtomNames& names, SyntaxError& error,
                  Framing framing) {
  if (text.size() >= INT_MAX) {  // the generated scanner counts in int
    root = nullptr;
    names = AtomNames();
    error = SyntaxError{0, 0, "Can't read the formula: a text of 2 GiB or more"};
    return false;
  }
  return parse(text, root, names, error, framing);
}

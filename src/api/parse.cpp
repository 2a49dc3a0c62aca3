// Formula text to tarvel::Formula, through the command line's own parser.
#include <vector>

#include "api/FormulaNode.h"
#include "frontend/ASTNode.h"
#include "frontend/Parser.h"

namespace tarvel {

namespace {

// The user's atom behind a leaf: pN is atom(N); p0 and vN, which the parser
// renumbers, get back the name the text gave them.
Formula leafAtom(int internal, const AtomNames& names) {
  std::string name = names.name(internal);
  if (name == "p0") return atom(0);
  if (name[0] == 'v') return atom(name);
  return atom(internal);
}

Formula fromTree(const ASTNode* formula, const AtomNames& names) {
  std::vector<Formula> built;
  std::vector<std::pair<const ASTNode*, bool>> todo{{formula, false}};
  while (!todo.empty()) {
    auto [n, operandsBuilt] = todo.back();
    todo.pop_back();
    if (!operandsBuilt && n->left != nullptr) {
      todo.emplace_back(n, true);
      if (n->right != nullptr) todo.emplace_back(n->right, false);
      todo.emplace_back(n->left, false);
      continue;
    }
    if (n->left == nullptr) {
      built.push_back(n->type == NT_ATOM ? leafAtom(n->atom, names) : n->type == NT_TRUE ? top() : bottom());
      continue;
    }
    Formula right = n->right != nullptr ? built.back() : Formula();
    if (n->right != nullptr) built.pop_back();
    Formula left = built.back();
    built.pop_back();
    switch (n->type) {
      case NT_NOT: built.push_back(!left); break;
      case NT_BOX: built.push_back(box(left)); break;
      case NT_DIAMOND: built.push_back(diamond(left)); break;
      case NT_AND: built.push_back(left && right); break;
      case NT_OR: built.push_back(left || right); break;
      case NT_IMPLY: built.push_back(implies(left, right)); break;
      default: built.push_back(iff(left, right)); break;
    }
  }
  return built.back();
}

}  // namespace

Formula parse(const std::string& text) {
  NodeArena arena;
  NodeArena::Scope scope(arena);
  ASTNode* root = nullptr;
  AtomNames names;
  SyntaxError error;
  if (!parseFormula(text, root, names, error, Framing::BareOrFile)) throw ParseError(error.line, error.column, error.message);
  return fromTree(root->left, names);
}

}  // namespace tarvel

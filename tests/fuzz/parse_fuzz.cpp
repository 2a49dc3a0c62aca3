// Scanner and parser on arbitrary bytes. A formula that parses is printed
// back in the input language, fully parenthesised, and must parse again into
// the same tree.
#include <string>
#include <vector>

#include "tests/FormulaText.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

std::string sourceText(const ASTNode* top) {
  struct Item {
    const ASTNode* node;
    const char* piece;
  };
  std::string out = "begin ";
  std::vector<Item> todo{{top->left, nullptr}};
  while (!todo.empty()) {
    Item it = todo.back();
    todo.pop_back();
    if (it.piece != nullptr) {
      out += it.piece;
      continue;
    }
    const ASTNode* n = it.node;
    switch (n->type) {
      case NT_ATOM: out += "p" + std::to_string(n->atom); break;
      case NT_TRUE: out += "true"; break;
      case NT_FALSE: out += "false"; break;
      case NT_NOT: out += "~"; todo.push_back({n->left, nullptr}); break;
      case NT_BOX: out += "[r1]"; todo.push_back({n->left, nullptr}); break;
      case NT_DIAMOND: out += "<r1>"; todo.push_back({n->left, nullptr}); break;
      default: {
        const char* op = n->type == NT_AND ? " & " : n->type == NT_OR ? " | " : n->type == NT_IMPLY ? " -> " : " <-> ";
        todo.push_back({nullptr, ")"});
        todo.push_back({n->right, nullptr});
        todo.push_back({nullptr, op});
        todo.push_back({n->left, nullptr});
        todo.push_back({nullptr, "("});
      }
    }
  }
  return out + " end";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silenceStdout();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ASTNode* root = parseBytes(data, size);
  if (root != nullptr) {
    std::string text = sourceText(root);
    ASTNode* again = parseBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (again == nullptr || formulaText(again) != formulaText(root)) __builtin_trap();
  }
  releasePooledNodes();
  return 0;
}

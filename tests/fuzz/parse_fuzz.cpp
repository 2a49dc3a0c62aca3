// Scanner and parser on arbitrary bytes. A formula that parses is printed
// back in the input language, fully parenthesised, and must parse again into
// the same tree.
#include <string>

#include "tests/FormulaText.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silenceStdout();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ASTNode* root = parseBytes(data, size);
  if (root != nullptr) {
    std::string text = "begin " + formulaText(root, kSourceSpelling) + " end";
    ASTNode* again = parseBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (again == nullptr || formulaText(again) != formulaText(root)) __builtin_trap();
  }
  releasePooledNodes();
  return 0;
}

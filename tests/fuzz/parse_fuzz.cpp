// Scanner and parser on arbitrary bytes. A formula that parses is printed
// back in the input language, fully parenthesised, and must parse again into
// the same tree.
#include <string>

#include "tests/InProcess.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Error lines of inputs that do not parse are not findings.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) __builtin_trap();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ASTNode* root = parseBytes(data, size);
  if (root != nullptr) {
    std::string text = "begin " + formulaText(root, kSourceSpelling) + " end";
    ASTNode* again = parseText(text);
    if (again == nullptr || formulaText(again) != formulaText(root)) __builtin_trap();
  }
  releasePooledNodes();
  return 0;
}

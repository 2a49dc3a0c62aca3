// Scanner and parser on arbitrary bytes, in both framings. The text and the
// stream entry points must agree on the tree or the error. A formula that
// parses is printed back in the input language, fully parenthesised, and
// must parse again into the same tree.
#include <string>

#include "tests/InProcess.h"

namespace {

void check(const std::string& input, Framing framing) {
  Parsed fromText = parsed(input, framing);
  if (outcome(fromText) != outcome(parsed(input, framing, true))) __builtin_trap();
  if (fromText.root == nullptr) {
    if (fromText.error.message.empty()) __builtin_trap();  // an error without its line
    return;
  }
  ASTNode* again = parseText("begin " + formulaText(fromText.root, kSourceSpelling) + " end");
  if (again == nullptr || formulaText(again) != formulaText(fromText.root)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  NodeArena arena;
  NodeArena::Scope scope(arena);
  std::string input(reinterpret_cast<const char*>(data), size);
  check(input, Framing::FileOnly);
  check(input, Framing::BareOrFile);
  return 0;
}

#pragma once
// Shared by the fuzz targets: parse raw bytes as a formula file in memory.
#include <cstdint>
#include <cstdio>

#include "frontend/Parser.h"

// Null after a lexical or syntax error (its line goes to standard output,
// which the targets send to /dev/null).
inline ASTNode* parseBytes(const uint8_t* data, size_t size) {
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "r");
  if (f == nullptr) return nullptr;
  ASTNode* root = nullptr;
  int status = parseFormula(f, root);
  std::fclose(f);
  return status == 0 ? root : nullptr;
}

inline void silenceStdout() {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) __builtin_trap();
}

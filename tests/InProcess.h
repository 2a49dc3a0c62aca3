#pragma once
// Helpers for tests and fuzz targets that call the passes in-process: parse a
// formula text into a tree, show a tree as fully parenthesised infix text or
// as an oracle formula, capture what a pass prints, and the clause list the
// encoder hands to the solver bridge.
//
// Trees come from the current NodeArena of the calling thread. The main
// thread, where every test runs, has one arena for the whole program (the
// tests' trees are small and stay until exit); a fuzz target, or a test that
// frees its trees or runs other threads, opens its own.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "encoding/Trans2SAT.h"
#include "frontend/ASTNode.h"
#include "frontend/Parser.h"
#include "tests/S5Oracle.h"

inline NodeArena mainThreadArena;
inline NodeArena::Scope mainThreadArenaScope(mainThreadArena);

// What parsing a text gave: the tree (null after an error) and the error.
struct Parsed {
  ASTNode* root = nullptr;
  SyntaxError error;
};

// Parses a text, given as a string or (`asStream`) as a stream over it.
inline Parsed parsed(const std::string& text, Framing framing = Framing::FileOnly, bool asStream = false) {
  Parsed p;
  AtomNames names;
  if (!asStream) {
    parseFormula(text, p.root, names, p.error, framing);
    return p;
  }
  FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  if (f == nullptr) std::abort();
  parseFormula(f, p.root, names, p.error, framing);
  std::fclose(f);
  return p;
}

// A whole formula file in memory; null after an error.
inline ASTNode* parseText(const std::string& text) { return parsed(text).root; }
inline ASTNode* parseBytes(const void* data, size_t size) {
  return parseText(std::string(static_cast<const char*>(data), size));
}

// What `write` prints to a stream.
inline std::string printedBy(const std::function<void(FILE*)>& write) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  write(f);
  std::fclose(f);
  std::string s(buf, len);
  std::free(buf);
  return s;
}

// A clause list from clauses of literals, each ended by 0.
inline ClauseList clauseList(const std::vector<std::vector<int>>& clauses) {
  ClauseList list;
  for (const auto& c : clauses)
    for (int x : c) list.push(x);
  return list;
}

// How the constants and modalities are written.
struct Spelling {
  const char *trueText, *falseText, *box, *diamond;
};
// Compact, for comparing trees in tests.
constexpr Spelling kShortSpelling{"T", "F", "[]", "<>"};
// The input language, so that the text parses again.
constexpr Spelling kSourceSpelling{"true", "false", "[r1]", "<r1>"};

// "p1", "T", "F", "~X", "[]X", "<>X", "(X & Y)", "(X | Y)", "(X -> Y)",
// "(X <-> Y)" in the short spelling; the root shows as its formula.
inline std::string formulaText(const ASTNode* node, const Spelling& spell = kShortSpelling) {
  struct Item {
    const ASTNode* node;
    const char* piece;
  };
  std::string out;
  std::vector<Item> todo{{node, nullptr}};
  while (!todo.empty()) {
    Item it = todo.back();
    todo.pop_back();
    if (it.piece) {
      out += it.piece;
      continue;
    }
    const ASTNode* n = it.node;
    if (!n) {
      out += "null";
      continue;
    }
    switch (n->type) {
      case NT_ATOM: out += "p" + std::to_string(n->atom); break;
      case NT_TRUE: out += spell.trueText; break;
      case NT_FALSE: out += spell.falseText; break;
      case NT_ROOT: todo.push_back({n->left, nullptr}); break;
      case NT_NOT: out += "~"; todo.push_back({n->left, nullptr}); break;
      case NT_BOX: out += spell.box; todo.push_back({n->left, nullptr}); break;
      case NT_DIAMOND: out += spell.diamond; todo.push_back({n->left, nullptr}); break;
      default: {
        const char* op = n->type == NT_AND ? " & " : n->type == NT_OR ? " | "
                         : n->type == NT_IMPLY ? " -> " : " <-> ";
        todo.push_back({nullptr, ")"});
        todo.push_back({n->right, nullptr});
        todo.push_back({nullptr, op});
        todo.push_back({n->left, nullptr});
        todo.push_back({nullptr, "("});
      }
    }
  }
  return out;
}

// What a parse gave: the tree in the short spelling, or the error line and its position.
inline std::string outcome(const Parsed& p) {
  if (p.root != nullptr) return formulaText(p.root);
  return p.error.message + " @" + std::to_string(p.error.line) + ":" + std::to_string(p.error.column);
}

// The nodes of a tree in pre-order.
inline std::vector<ASTNode*> subtreeNodes(ASTNode* top) {
  std::vector<ASTNode*> nodes, todo{top};
  while (!todo.empty()) {
    ASTNode* n = todo.back();
    todo.pop_back();
    nodes.push_back(n);
    if (n->right) todo.push_back(n->right);
    if (n->left) todo.push_back(n->left);
  }
  return nodes;
}

// The tree as an oracle formula; recursive, for formulas of a few kilobytes.
inline OFormula oracleFormula(const ASTNode* n) {
  static const std::unordered_map<int, OFormula::Op> ops = {
      {NT_ATOM, OFormula::ATOM}, {NT_TRUE, OFormula::TRUE}, {NT_FALSE, OFormula::FALSE},
      {NT_NOT, OFormula::NOT},   {NT_AND, OFormula::AND},   {NT_OR, OFormula::OR},
      {NT_IMPLY, OFormula::IMPLY}, {NT_IFF, OFormula::IFF}, {NT_BOX, OFormula::BOX},
      {NT_DIAMOND, OFormula::DIA}};
  if (n->type == NT_ROOT) return oracleFormula(n->left);
  OFormula f;
  f.op = ops.at(n->type);
  f.atom = n->atom;
  for (const ASTNode* c : {n->left, n->right})
    if (c) f.args.push_back(oracleFormula(c));
  return f;
}

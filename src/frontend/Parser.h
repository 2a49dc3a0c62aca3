#pragma once
// The front end's first stage: formula text to binary syntax tree.
#include <cstdio>
#include <string>

#include "frontend/ASTNode.h"
#include "frontend/AtomNames.h"

// A lexical or syntax error, or an atom-numbering error: where, and the
// line(s) the command line prints for it, without trailing newline.
struct SyntaxError {
  int line = 0;        // 1-based; 0 for a failed read
  int column = 0;      // 1-based byte column of the offending token's first character; 0 for a failed read
  std::string message; // e.g. "Syntax error at line 3 near x", "At line 2: syntax error--)", "* Error(110): No atom number left for v7!"
};

// Whether the text must be wrapped in begin ... end (the file language), or may also be a bare formula.
enum class Framing { FileOnly, BareOrFile };

// Parses one whole formula: `input` up to its end, or `text`.
// require: a current NodeArena (NodeArena::Scope), which receives the tree's
// nodes; `input` open for reading.
// ensure: true, `root` a new NT_ROOT node over the formula with internal atom
// numbers (pN is N; p0 and the vN above the largest pN, in order of first
// appearance) and `names` the user's names of the renumbered atoms; or false,
// `root` null and `error` set: the first lexical or syntax error, renumbered
// atoms that do not fit in an int (error 110, at the first such atom), or a
// failed read ("Can't read the formula: <reason>"). Nothing is printed.
// Throws std::bad_alloc at the arena's node limit (NodeArena::setLimit).
// Parses in different threads, each with its own arena, run independently.
bool parseFormula(FILE* input, ASTNode*& root, AtomNames& names, SyntaxError& error,
                  Framing framing = Framing::FileOnly);
bool parseFormula(const std::string& text, ASTNode*& root, AtomNames& names, SyntaxError& error,
                  Framing framing = Framing::FileOnly);

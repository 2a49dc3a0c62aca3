// The formula language: what parses into which tree, in either framing, the
// exact error line and position of every way a formula can be wrong, the
// limits, the passes on deep trees, and parses in two threads at once. Text
// and stream entry points must agree on every case.
#include <gtest/gtest.h>
#include <tarvel/tarvel.hpp>

#include <cstring>
#include <random>
#include <stdexcept>
#include <thread>
#include <tuple>

#include "frontend/S5NFTrans.h"
#include "frontend/S5shape.h"
#include "tests/InProcess.h"
#include "tests/S5Oracle.h"
#include "tests/TestHelpers.h"

namespace {

struct Outcome {
  bool ok;
  std::string out;  // the tree as infix text, or the error line
  SyntaxError error;
};

// Parses in-process through both entry points, which must agree.
Outcome parseBoth(const std::string& text, Framing framing = Framing::FileOnly) {
  Parsed p = parsed(text, framing);
  EXPECT_EQ(outcome(parsed(text, framing, true)), outcome(p)) << "stream and text disagree";
  return {p.root != nullptr, p.root ? formulaText(p.root) : p.error.message, p.error};
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  out.reserve(s.size() * n);
  for (int i = 0; i < n; i++) out += s;
  return out;
}

// The text of `escaped` with \n \r \t \0 \xHH and \\ replaced.
std::string unescape(const std::string& escaped) {
  std::string out;
  for (size_t i = 0; i < escaped.size(); i++) {
    if (escaped[i] != '\\' || i + 1 == escaped.size()) {
      out += escaped[i];
      continue;
    }
    char c = escaped[++i];
    if (c == 'x') {
      out += static_cast<char>(std::stoi(escaped.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c == '0' ? '\0' : c;
    }
  }
  return out;
}

}  // namespace

// tests/data/parse.txt, one case a line: "input OP expected".
struct TableOp {
  const char* text;
  Framing framing;
  enum Expect { Tree, ErrorLine, Position } expect;
};
const TableOp kTableOps[] = {{" => ", Framing::FileOnly, TableOp::Tree},
                             {" =!> ", Framing::FileOnly, TableOp::ErrorLine},
                             {" =@> ", Framing::FileOnly, TableOp::Position},
                             {" ~> ", Framing::BareOrFile, TableOp::Tree},
                             {" ~!> ", Framing::BareOrFile, TableOp::ErrorLine},
                             {" ~@> ", Framing::BareOrFile, TableOp::Position}};

TEST(Parser, TreesErrorLinesAndPositionsOfTheTable) {
  std::istringstream table(readFile(std::string(TARVEL_SOURCE_DIR) + "/tests/data/parse.txt"));
  int cases = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    const TableOp* op = nullptr;
    size_t at = std::string::npos;
    for (const TableOp& o : kTableOps) {
      size_t found = line.find(o.text);
      if (found < at) at = found, op = &o;
    }
    ASSERT_NE(op, nullptr) << line;
    std::string input = unescape(line.substr(0, at));
    std::string expected = unescape(line.substr(at + std::strlen(op->text)));
    Outcome o = parseBoth(input, op->framing);
    EXPECT_EQ(o.ok, op->expect == TableOp::Tree) << line;
    if (op->expect == TableOp::Position)
      EXPECT_EQ(std::to_string(o.error.line) + ":" + std::to_string(o.error.column), expected) << line;
    else
      EXPECT_EQ(o.out, expected) << line;
    if (op->framing == Framing::BareOrFile) {  // the library's parse, which reports the same error
      try {
        tarvel::parse(input);
        EXPECT_TRUE(o.ok) << line << ": the library parsed it";
      } catch (const tarvel::ParseError& e) {
        EXPECT_EQ(std::make_tuple(std::string(e.what()), e.line(), e.column()),
                  std::make_tuple(o.out, o.error.line, o.error.column)) << line;
      }
    }
    cases++;
  }
  EXPECT_GT(cases, 80);
}

// A stream that cannot be read (a directory) is an error of the parse, not the end of the process.
TEST(Parser, AFailedReadIsAnError) {
  FILE* directory = std::fopen(TARVEL_SOURCE_DIR, "r");
  ASSERT_NE(directory, nullptr);
  ASTNode* root = nullptr;
  AtomNames names;
  SyntaxError error;
  EXPECT_FALSE(parseFormula(directory, root, names, error));
  std::fclose(directory);
  EXPECT_EQ(root, nullptr);
  EXPECT_EQ(error.message, "Can't read the formula: input in flex scanner failed");
  EXPECT_EQ(error.line, 0);
  EXPECT_EQ(error.column, 0);
}

TEST(ParserLimits, DeepNestingParsesUpToTheStackLimit) {
  Outcome prefix = parseBoth("begin " + repeat("~", 100000) + "p1 end");
  EXPECT_TRUE(prefix.ok);
  EXPECT_EQ(prefix.out, repeat("~", 100000) + "p1");
  Outcome parens = parseBoth("begin " + repeat("(", 100000) + "p1" + repeat(")", 100000) + " end");
  EXPECT_TRUE(parens.ok);
  EXPECT_EQ(parens.out, "p1");
  Outcome tooDeep = parseBoth("begin " + repeat("(", 1100000) + "p1" + repeat(")", 1100000) + " end");
  EXPECT_FALSE(tooDeep.ok);
  EXPECT_EQ(tooDeep.out, "At line 1: memory exhausted--(");
  // The stack of 1048576 states is full with the start state, that of
  // "begin" and one per parenthesis: the last of these is the error's token.
  EXPECT_EQ(tooDeep.error.column, 6 + 1048576 - 2);
}

TEST(ParserLimits, LongLinesAndLongTokens) {
  Outcome wide = parseBoth("begin p1" + repeat(" & p1", 200000) + " end");
  EXPECT_TRUE(wide.ok);
  EXPECT_EQ(wide.out, repeat("(", 200000) + "p1" + repeat(" & p1)", 200000));
  std::string digits = repeat("1", 100000);
  Outcome huge = parseBoth("begin p" + digits + " end");
  EXPECT_FALSE(huge.ok);
  EXPECT_EQ(huge.out, "Syntax error at line 1 near " + digits + ": number too large");
  Outcome blanks = parseBoth("begin" + repeat(" ", 1000000) + "p3 end");
  EXPECT_EQ(blanks.out, "p3");
}

TEST(ParserEndToEnd, DeepFormulaRunsThroughThePipeline) {
  EXPECT_EQ(verdictOf(runTarvel("begin " + repeat("~", 100000) + "p1 end")), 1);
  EXPECT_EQ(verdictOf(runTarvel("begin " + repeat("[r1]<r1>(", 50000) + "p1 & ~p1" + repeat(")", 50000) + " end")), 0);
}

namespace {

// The passes on trees 100 000 levels deep, which the whole pipeline cannot
// finish (their normal form is exponential): no pass may recurse per level.
ASTNode* normalised(const std::string& formula, S5NFTrans& trans) {
  ASTNode* root = parseText("begin " + formula + " end");
  trans.removeImply(root);
  trans.trans2NNF(root);
  trans.removeTF(root);
  return root;
}

TEST(DeepTrees, PropositionalPasses) {
  // The equivalence copies the whole deep operand.
  S5NFTrans trans;
  ASTNode* root = normalised("p4 <-> " + repeat("~([r1](p1 -> <r1>(p2 & ", 33334) + "p3" + repeat(")", 100002), trans);
  EXPECT_EQ(trans.maxAtom, 4);
  size_t nodes = 0;
  for (ASTNode* n : subtreeNodes(root)) {
    ASSERT_NE(n->type, NT_IMPLY);
    ASSERT_NE(n->type, NT_IFF);
    if (n->type == NT_NOT) {
      ASSERT_EQ(n->left->type, NT_ATOM);
    }
    nodes++;
  }
  EXPECT_GT(nodes, 400000u);
  S5NFTrans constants;
  EXPECT_EQ(formulaText(normalised(repeat("[r1]~<r1>", 100000) + "false & p1", constants)), "F");
}

TEST(DeepTrees, OneReductionPass) {
  S5NFTrans trans;
  ASTNode* root = normalised(repeat("[r1](p1 | <r1>(p2 & ~~(", 33334) + "p3" + repeat(")", 100002), trans);
  mbASTNode* mb = trans.trans2MultiBranchAST(root);
  EXPECT_FALSE(isS5CNF(mb));
  trans.dfsReduct(mb);
  EXPECT_EQ(mb->children.size(), 1u);
}

// The tree and the S5-NF file of each text, made in a fresh arena of the calling thread.
std::vector<std::string> normalForms(const std::vector<std::string>& texts) {
  std::vector<std::string> out;
  for (const std::string& text : texts) {
    NodeArena arena;
    NodeArena::Scope scope(arena);
    ASTNode* root = parseText(text);
    if (root == nullptr) {
      out.push_back("no tree");
      continue;
    }
    std::string tree = formulaText(root);
    S5NFTrans trans;
    S5clauSet clauses;
    NormalForm reduced = trans.trans2NF(clauses, root);
    out.push_back(tree + "\n" + std::to_string(static_cast<int>(reduced)) + "\n" +
                  printedBy([&](FILE* f) { clauses.printClauSet(f); }));
  }
  return out;
}

}  // namespace

// Two threads, each with its own arena, give what one thread gives alone.
TEST(ParserThreads, TwoThreadsParseAndReduceAsOneDoes) {
  std::mt19937 rng(2027);
  std::vector<std::string> texts[2];
  for (int i = 0; i < 120; i++) {
    OFormula f = i % 3 == 0 ? farFromClauseForm(rng, 4) : randomFormula(rng, 4, 3 + i % 4);
    texts[i % 2].push_back("begin\n" + formulaFile(f) + "\nend\n");
  }
  std::vector<std::string> alone[2] = {normalForms(texts[0]), normalForms(texts[1])};
  std::vector<std::string> together[2];
  std::thread first([&] { together[0] = normalForms(texts[0]); });
  std::thread second([&] { together[1] = normalForms(texts[1]); });
  first.join();
  second.join();
  EXPECT_EQ(together[0], alone[0]);
  EXPECT_EQ(together[1], alone[1]);
  EXPECT_NE(alone[0], alone[1]);
}

// A node needs a current arena: a thread without one gets an exception, not a tree.
TEST(ParserThreads, ANodeWithoutArenaIsALogicError) {
  bool threw = false;
  std::thread bare([&] {
    try {
      parseText("begin p1 end");
    } catch (const std::logic_error&) {
      threw = true;
    }
  });
  bare.join();
  EXPECT_TRUE(threw);
}

// The formula language: what parses into which tree, and the exact error
// line and exit status of every way a formula file can be wrong.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/FormulaText.h"
#include "tests/TestHelpers.h"

namespace {

struct Outcome {
  int status;
  std::string out;
};

// Parses in a child process, which captures the error line on standard output
// and exits 1 after an error; the child prints
// the formula as infix text on success.
Outcome parseInChild(const std::string& text) {
  std::string outPath = scratchDir() + "/parse" + std::to_string(getpid()) + ".out";
  std::fflush(stdout);
  pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen(outPath.c_str(), "w", stdout)) _exit(99);
    ASTNode* root = parseText(text);
    if (root != nullptr) std::printf("%s", formulaText(root).c_str());
    std::fflush(stdout);
    _exit(root != nullptr ? 0 : 1);
  }
  int raw = 0;
  waitpid(pid, &raw, 0);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), readFile(outPath)};
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  out.reserve(s.size() * n);
  for (int i = 0; i < n; i++) out += s;
  return out;
}

struct Case {
  std::string text;
  std::string expected;
};

}  // namespace

TEST(ParserAcceptance, TreesFollowPrecedenceAndAssociativity) {
  const Case cases[] = {
      {"begin end", "F"},
      {"begin p1 -> p2 -> p3 end", "((p1 -> p2) -> p3)"},
      {"begin p1 <-> p2 -> p3 end", "((p1 <-> p2) -> p3)"},
      {"begin p1 -> p2 <-> p3 end", "(p1 -> (p2 <-> p3))"},
      {"begin p1 <-> p2 <-> p3 end", "((p1 <-> p2) <-> p3)"},
      {"begin p1 | p2 & p3 end", "(p1 | (p2 & p3))"},
      {"begin p1 & p2 | p3 end", "((p1 & p2) | p3)"},
      {"begin p1 | p2 | p3 end", "((p1 | p2) | p3)"},
      {"begin p1 | p2 <-> p3 & p4 end", "((p1 | p2) <-> (p3 & p4))"},
      {"begin ~p1 & p2 end", "(~p1 & p2)"},
      {"begin [r1] p1 | p2 end", "([]p1 | p2)"},
      {"begin <r1>~[r2]p1 -> p2 end", "(<>~[]p1 -> p2)"},
      {"begin ~(p1 -> p2) end", "~(p1 -> p2)"},
      {"begin true | false end", "(T | F)"},
  };
  for (const Case& c : cases) EXPECT_EQ(parseInChild(c.text).out, c.expected) << c.text;
}

TEST(ParserAcceptance, MissingOperandsReadAsFalse) {
  const Case cases[] = {
      {"begin p1 & end", "(p1 & F)"},
      {"begin () end", "F"},
      {"begin ~ end", "~F"},
      {"begin & p1 end", "(F & p1)"},
      {"begin p1 -> end", "(p1 -> F)"},
  };
  for (const Case& c : cases) EXPECT_EQ(parseInChild(c.text).out, c.expected) << c.text;
}

TEST(ScannerAcceptance, TokensAndLayout) {
  const Case cases[] = {
      {"begin [ r 12 ]p1 & [r3]p2 & <r 2 >p3 end", "(([]p1 & []p2) & <>p3)"},
      {"begin p 7 end", "p7"},
      {"begin p\n// between\n 7 end", "p7"},
      {"beginp1end", "p1"},
      {"begin\r\n  p1 \r\n& p2\r\nend\r\n", "(p1 & p2)"},
      {"// first line\nbegin p1 end // trailing\n", "p1"},
      {"begin\tp2147483647\nend", "p2147483647"},
      // p0 and vN are numbered above the largest pN, in order of first appearance.
      {"begin v3 & p2 & p0 & v3 & v 0 & p\n// c\n0 end", "(((((p3 & p2) & p4) & p3) & p5) & p4)"},
  };
  for (const Case& c : cases) {
    Outcome o = parseInChild(c.text);
    EXPECT_EQ(o.status, 0) << c.text;
    EXPECT_EQ(o.out, c.expected) << c.text;
  }
}

TEST(ParserErrors, ExactLineAndExitStatus) {
  const Case cases[] = {
      {"", "At line 1: syntax error--\n"},
      {"begin p1", "At line 1: syntax error--\n"},
      {"p1 end", "At line 1: syntax error--p\n"},
      {"begin p1 end p2", "At line 1: syntax error--p\n"},
      {"begin p1 end end", "At line 1: syntax error--end\n"},
      {"begin begin", "At line 1: syntax error--begin\n"},
      {"begin p end", "At line 1: syntax error--end\n"},
      {"begin ~p1) end", "At line 1: syntax error--)\n"},
      {"begin p1 p2 end", "At line 1: syntax error--p\n"},
      {"begin\n\n p1\n\n q", "Syntax error at line 5 near q\n"},
      {"begin p1 &\n// note\n p2 )", "At line 3: syntax error--)\n"},
      {"begin p01 end", "Syntax error at line 1 near 0\n"},
      {"begin v01 end", "Syntax error at line 1 near 0\n"},
      {"begin p00 end", "Syntax error at line 1 near 0\n"},
      {"begin 0 end", "Syntax error at line 1 near 0\n"},
      {"begin V1 end", "Syntax error at line 1 near V\n"},
      {"begin v end", "At line 1: syntax error--end\n"},
      {"begin P1 end", "Syntax error at line 1 near P\n"},
      {"BEGIN p1 end", "Syntax error at line 1 near B\n"},
      {"begin [r0]p1 end", "Syntax error at line 1 near [\n"},
      {"begin [\tr1]p1 end", "Syntax error at line 1 near [\n"},
      {"begin < r1\t> p1 end", "Syntax error at line 1 near <\n"},
      {"begin <r1 p1 end", "Syntax error at line 1 near <\n"},
      {"begin p1 - p2 end", "Syntax error at line 1 near -\n"},
      {"begin p1 / p2 end", "Syntax error at line 1 near /\n"},
      {"begin p1 end // no final newline", "Syntax error at line 1 near /\n"},
      {"begin p1 \r end", "Syntax error at line 1 near \r\n"},
      {"begin p1 \xff end", "Syntax error at line 1 near \xff\n"},
      {std::string("begin p1 \0 end", 14), "Syntax error at line 1 near \n"},
      {"begin p99999999999 end", "Syntax error at line 1 near 99999999999: number too large\n"},
      {"begin p2147483648 end", "Syntax error at line 1 near 2147483648: number too large\n"},
      {"begin v2147483648 end", "Syntax error at line 1 near 2147483648: number too large\n"},
      {"begin p2147483646 & v7 & p0 end", "* Error(110): No atom number left for p0!\n"},
  };
  for (const Case& c : cases) {
    Outcome o = parseInChild(c.text);
    EXPECT_EQ(o.status, 1) << c.text;
    EXPECT_EQ(o.out, c.expected) << c.text;
  }
}

TEST(ParserLimits, DeepNestingParsesUpToTheStackLimit) {
  Outcome prefix = parseInChild("begin " + repeat("~", 100000) + "p1 end");
  EXPECT_EQ(prefix.status, 0);
  EXPECT_EQ(prefix.out, repeat("~", 100000) + "p1");
  Outcome parens = parseInChild("begin " + repeat("(", 100000) + "p1" + repeat(")", 100000) + " end");
  EXPECT_EQ(parens.status, 0);
  EXPECT_EQ(parens.out, "p1");
  Outcome tooDeep = parseInChild("begin " + repeat("(", 1100000) + "p1" + repeat(")", 1100000) + " end");
  EXPECT_EQ(tooDeep.status, 1);
  EXPECT_EQ(tooDeep.out, "At line 1: memory exhausted--(\n");
}

TEST(ParserLimits, LongLinesAndLongTokens) {
  Outcome wide = parseInChild("begin p1" + repeat(" & p1", 200000) + " end");
  EXPECT_EQ(wide.status, 0);
  EXPECT_EQ(wide.out, repeat("(", 200000) + "p1" + repeat(" & p1)", 200000));
  std::string digits = repeat("1", 100000);
  Outcome huge = parseInChild("begin p" + digits + " end");
  EXPECT_EQ(huge.status, 1);
  EXPECT_EQ(huge.out, "Syntax error at line 1 near " + digits + ": number too large\n");
  Outcome blanks = parseInChild("begin" + repeat(" ", 1000000) + "p3 end");
  EXPECT_EQ(blanks.out, "p3");
}

// The command line ends with status 1 after the error line, with nothing else printed.
TEST(ParserEndToEnd, ErrorsEndTheRunWithStatusOne) {
  for (const Case& c : {Case{"begin\nP1 end", "Syntax error at line 2 near P\n"},
                        Case{"begin p1 end p2", "At line 1: syntax error--p\n"}}) {
    RunResult r = runTarvel(c.text);
    EXPECT_EQ(r.status, 1) << c.text;
    EXPECT_EQ(r.out, c.expected) << c.text;
  }
}

TEST(ParserEndToEnd, DeepFormulaRunsThroughThePipeline) {
  RunResult r = runTarvel("begin " + repeat("~", 100000) + "p1 end");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("s SATISFIABLE"), std::string::npos);
  RunResult boxes = runTarvel("begin " + repeat("[r1]<r1>(", 50000) + "p1 & ~p1" + repeat(")", 50000) + " end");
  EXPECT_EQ(boxes.status, 0);
  EXPECT_NE(boxes.out.find("s UNSATISFIABLE"), std::string::npos);
}

// The formula language: what parses into which tree, the exact error line and
// exit status of every way a formula file can be wrong, and the limits.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/InProcess.h"
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

// tests/data/parse.txt: "input => tree" parses, "input =!> line" is refused with that line.
TEST(Parser, TreesAndErrorLinesOfTheTable) {
  std::istringstream table(readFile(std::string(TARVEL_SOURCE_DIR) + "/tests/data/parse.txt"));
  int cases = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    size_t accepted = line.find(" => "), refused = line.find(" =!> ");
    ASSERT_TRUE(accepted != std::string::npos || refused != std::string::npos) << line;
    bool fails = refused != std::string::npos && (accepted == std::string::npos || refused < accepted);
    size_t at = fails ? refused : accepted;
    std::string input = unescape(line.substr(0, at));
    std::string expected = unescape(line.substr(at + (fails ? 5 : 4))) + (fails ? "\n" : "");
    Outcome o = parseInChild(input);
    EXPECT_EQ(o.status, fails ? 1 : 0) << line;
    EXPECT_EQ(o.out, expected) << line;
    cases++;
  }
  EXPECT_GT(cases, 50);
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

TEST(ParserEndToEnd, DeepFormulaRunsThroughThePipeline) {
  RunResult r = runTarvel("begin " + repeat("~", 100000) + "p1 end");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("s SATISFIABLE"), std::string::npos);
  RunResult boxes = runTarvel("begin " + repeat("[r1]<r1>(", 50000) + "p1 & ~p1" + repeat(")", 50000) + " end");
  EXPECT_EQ(boxes.status, 0);
  EXPECT_NE(boxes.out.find("s UNSATISFIABLE"), std::string::npos);
}

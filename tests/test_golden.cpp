// Exact lines and files that users' scripts read.
#include <gtest/gtest.h>

#include <cctype>
#include <sys/stat.h>

#include "tests/TestHelpers.h"

namespace {

// Replaces each time value, printed "%12.2f" after a "(ms):" label, by
// "<ms>"; a value in any other shape stays and fails the comparison.
std::string maskTimes(std::string out) {
  const std::string label = "(ms):           ";
  for (size_t at = out.find(label); at != std::string::npos; at = out.find(label, at + 1)) {
    size_t from = at + label.size(), end = from;
    while (end < out.size() && out[end] == ' ') end++;
    while (end < out.size() && std::isdigit(static_cast<unsigned char>(out[end]))) end++;
    bool shaped = end + 2 < out.size() && out[end] == '.' && std::isdigit(static_cast<unsigned char>(out[end + 1])) &&
                  std::isdigit(static_cast<unsigned char>(out[end + 2])) && end + 3 - from >= 12;
    if (shaped) out.replace(from, end + 3 - from, "<ms>");
  }
  return out;
}

const std::string kBlanks65(65, ' ');
std::string timeLine(const std::string& label, const std::string& trailing = kBlanks65) {
  return "c " + label + "           <ms>" + trailing + "\n";
}

bool startsWith(const std::string& s, const std::string& head) { return s.compare(0, head.size(), head) == 0; }
bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(Golden, WorkedRunFromFormulaToModel) {
  // Both paths print the same lines; the counts differ: the default path
  // defines each gate in one direction only and adds the witness line.
  struct Path {
    std::vector<std::string> options;
    int vars, clauses;
    std::string beforeStatus;
  } paths[] = {{{"-model", "-one-shot"}, 4, 5, "\n"},
               {{"-model"}, 3, 3, "\nc witness worlds: 2 of 2, rounds 1\n"}};
  for (const Path& p : paths) {
    RunResult r = runTarvel("begin <r1>p1 & [r1]p2 end", p.options);
    EXPECT_EQ(r.status, 0);
    std::string out = maskTimes(r.out);
    EXPECT_TRUE(startsWith(out, timeLine("Tran2S5NF_time(ms):") + "c possible worlds:  2     \n" +
                                    timeLine("Tran2SAT_time(ms):") + "c The SAT-Solver CaDiCaL "))
        << r.out;
    EXPECT_NE(out.find(" is running -- \nc\n"), std::string::npos) << r.out;
    char counts[256];
    std::snprintf(counts, sizeof counts, "c |  Number of SAT variables:               %12d%50s|\n"
                  "c |  Number of original SAT clauses:        %12d%50s|\n", p.vars, "", p.clauses, "");
    EXPECT_NE(r.out.find(counts), std::string::npos) << r.out;
    EXPECT_TRUE(endsWith(out, p.beforeStatus + "\ns SATISFIABLE\n" + timeLine("Total_time(ms):"))) << r.out;
    EXPECT_EQ(r.result, "SAT\nc ===== S5-model====\nv possible world0:  p2\nv possible world1:  p1 p2\n");
    EXPECT_EQ(r.err, "");
  }
}

TEST(Golden, WitnessWorldsAreAddedWhenAModelUsesThem) {
  // The Diamond is a gate, so its world joins only after the first model uses it.
  struct Case {
    const char* formula;
    const char* witnessLine;
    const char* result;
  } cases[] = {
      {"(<r1>p1 | p2) & ~p2 & [r1]~p1", "c witness worlds: 2 of 2, rounds 2\n", "UNSAT\n"},
      {"(<r1>p1 | p3) & (<r1>p2 | p3) & ~p3 & ~p1 & ~p2 & [r1](~p1 | ~p2)", "c witness worlds: 3 of 3, rounds 2\n",
       "SAT\nc ===== S5-model====\nv possible world0:  -p2 -p1 -p3\nv possible world1:  -p2 p1\n"
       "v possible world2:  p2 -p1\n"},
  };
  for (const Case& c : cases) {
    RunResult r = runTarvel(std::string("begin ") + c.formula + " end", {"-model"});
    EXPECT_NE(r.out.find(c.witnessLine), std::string::npos) << r.out;
    EXPECT_EQ(r.result, c.result);
  }
}

TEST(Golden, FormulasThatReduceToConstants) {
  RunResult f = runTarvel("begin p1 & ~p1 & false end");
  EXPECT_EQ(maskTimes(f.out), timeLine("Tran2S5NF_time(ms):") +
                                  "c Solved in transforming into S5-NF process..\n"
                                  "c The S5 formula can be reduced as false.\n"
                                  "s UNSATISFIABLE\n" + timeLine("Total_time(ms):"));
  EXPECT_EQ(f.result, "UNSAT\n");
  RunResult t = runTarvel("begin [r1]p1 | true end", {"-s5nf"});
  EXPECT_EQ(maskTimes(t.out), timeLine("Tran2S5NF_time(ms):") +
                                  "c Solved in transforming into S5-NF process..\n"
                                  "c The S5 formula can be reduced as true.\n"
                                  "s SATISFIABLE\n" + timeLine("Total_time(ms):", std::string(64, ' ')));
  EXPECT_EQ(t.result, "SAT\n");
  EXPECT_EQ(t.err, "");
  RunResult m = runTarvel("begin [r1]p1 | true end", {"-minimal=3"});
  EXPECT_EQ(maskTimes(m.out), timeLine("Tran2S5NF_time(ms):") +
                                  "c Solved in transforming into S5-NF process..\n"
                                  "c The S5 formula can be reduced as true.\n"
                                  "s SATISFIABLE\nc Minimal model: 1 \n" +
                                  timeLine("Total_time(ms):", std::string(64, ' ')));
  EXPECT_EQ(f.status + t.status + m.status, 0);
}

TEST(Golden, NormalFormAndCnfFiles) {
  std::string nf = scratchDir() + "/out.s5nf", cnf = scratchDir() + "/out.cnf";
  RunResult r = runTarvel("begin <r1>p1 & [r1]p2 end", {"-s5nf=" + nf, "-satcnf=" + cnf, "-no-result", "-model"});
  EXPECT_EQ(readFile(nf), "c ===== S5-NF-PRINT =====\n0: \tDiam(1)\n1: \tBox(2)\n");
  EXPECT_EQ(readFile(cnf), "c =====CNF of DIMAC format=====\n1  0  \n4  -2  -3  0  \n2  -4  0  \n3  -4  0  \n4  0  \n");
  EXPECT_EQ(r.err, "-no-result option must be canceled or the solver will not return a model\n");
  EXPECT_EQ(r.out.find("s "), std::string::npos);
  EXPECT_EQ(r.out.find("Total_time"), std::string::npos);
  EXPECT_EQ(r.result, "");
  RunResult both = runTarvel("begin <r1>p1 end", {"-s5nf", "-satcnf", "-no-result"});
  EXPECT_EQ(both.err, "c ===== S5-NF-PRINT =====\n0: \tDiam(1)\nc =====CNF of DIMAC format=====\n1  0  \n");
}

TEST(Golden, UnsatisfiableWithModelWritesOnlyTheWord) {
  RunResult r = runTarvel("begin [r1]p1 & <r1>~p1 end", {"-model"});
  EXPECT_EQ(r.result, "UNSAT\n");
  EXPECT_NE(r.out.find("\ns UNSATISFIABLE\n"), std::string::npos);
}

TEST(Golden, ModelOnStandardErrorWithoutResultFile) {
  std::string file = scratchDir() + "/one.txt";
  writeFile(file, "begin <r1>p1 end");
  RunResult r = runArgs({"-model", file});
  EXPECT_EQ(r.err, "c ===== S5-model====\nv possible world0: any assignment is ok!\nv possible world1:  p1\n");
}

TEST(Golden, FormerlyWrongOrRefusedFormulas) {
  RunResult bound = runTarvel("begin <r1>p1 & p2 & (~p2 | <r1>p2) & [r1](~p2 | ~p1) end");
  EXPECT_NE(bound.out.find("c possible worlds:  3     \n"), std::string::npos) << bound.out;
  EXPECT_NE(bound.out.find("\ns SATISFIABLE\n"), std::string::npos);
  // Copies of equal modal literals once got an atom each: 957 worlds and 24 GB.
  RunResult copies = runTarvel(
      "begin (((((p1 & p2) <-> (p3 | p1)) & ((p3 -> p1) <-> [r1](p1))) <-> (((true & p1) | (p3 & false)) <-> "
      "((p1 | p1) | (p2 -> p3)))) -> <r1>((((p1 & p1) | <r1>(p1)) <-> ([r1](p2) | (p3 & p2))))) end");
  EXPECT_NE(copies.out.find("c possible worlds:  5     \n"), std::string::npos) << copies.out;
  EXPECT_NE(copies.out.find("\ns SATISFIABLE\n"), std::string::npos);
  // The largest atom number once sized the world-bound arrays (out of memory here).
  for (const char* f : {"begin <r1>(p1 & (p2 | p3)) end", "begin <r1>((p1 | [r1](p2 | p3)) & (p4 | p5)) end",
                        "begin <r1>p2147483647 & [r1](p5 | p2147483646) & <r1>~p2147483647 end"}) {
    RunResult r = runTarvel(f);
    EXPECT_EQ(r.status, 0) << f;
    EXPECT_NE(r.out.find("\ns SATISFIABLE\n"), std::string::npos) << r.out;
  }
}

TEST(Golden, ClassicBoundGivesEveryDiamondClauseAWorld) {
  const std::string f = "begin <r1>p1 & <r1>p2 & <r1>(p3 & ~p1) & [r1]~p4 end";
  RunResult ours = runTarvel(f);
  RunResult classic = runTarvel(f, {"-classic-bound"});
  EXPECT_NE(ours.out.find("c possible worlds:  3     \n"), std::string::npos) << ours.out;
  EXPECT_NE(classic.out.find("c possible worlds:  4     \n"), std::string::npos) << classic.out;
  EXPECT_NE(classic.out.find("\ns SATISFIABLE\n"), std::string::npos) << classic.out;
}

TEST(Golden, MinimalModesAgree) {
  const std::string formula = "begin <r1>(p1 & p2) & <r1>(~p1 & p2) & ~p2 end";
  for (const char* mode : {"-minimal=1", "-minimal=2", "-minimal=3", "-minimal=4"}) {
    std::string dir = scratchDir() + "/m" + std::string(mode).substr(9);
    mkdir(dir.c_str(), 0755);
    writeFile(dir + "/f.txt", formula);
    RunResult r = runArgs({mode, "f.txt", "res"}, dir);
    EXPECT_EQ(r.status, 0) << mode;
    EXPECT_TRUE(endsWith(maskTimes(r.out), "s SATISFIABLE \nc Minimal model: 3 \n" + timeLine("Total_time(ms):")))
        << mode << "\n" << r.out;
    // One word per solve that was not ended by simplification.
    std::string words = readFile(dir + "/res");
    if (std::string(mode) == "-minimal=1") {
      EXPECT_EQ(words, "SAT\n");  // k = 1 and 2 are refuted while simplifying: no word
    } else if (std::string(mode) == "-minimal=4") {
      EXPECT_EQ(words, "");
    }
  }
}

TEST(Golden, MaxSatSolverLinesAndFailures) {
  std::string dir = scratchDir() + "/stub";
  mkdir(dir.c_str(), 0755);
  writeFile(dir + "/f.txt", "begin <r1>p1 & <r1>~p1 end");
  auto withStub = [&](const std::string& body) {
    writeFile(dir + "/starexec_run_A", "#!/bin/sh\n" + body);
    chmod((dir + "/starexec_run_A").c_str(), 0755);
    return runArgs({"-minimal=4", "f.txt"}, dir);
  };
  RunResult ok = withStub("echo 'c solving'\necho 's OPTIMUM FOUND'\necho 'o 3'\necho 'c time: 1.5'\n");
  EXPECT_NE(maskTimes(ok.out).find("c solving\n \ns SATISFIABLE \nc Minimal model: 4 \nc Total_time(ms):           <ms>"),
            std::string::npos)
      << ok.out;
  double total = std::stod(ok.out.substr(ok.out.find("Total_time(ms):") + 15));
  EXPECT_GE(total, 1500.0);
  RunResult none = withStub("echo 'c nothing'\n");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.out.find("gave no verdict"), std::string::npos) << none.out;
  EXPECT_NE(none.out.find("\ns UNKNOWN\n"), std::string::npos);
  RunResult failed = withStub("exit 3\n");
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.out.find("exit status 3"), std::string::npos) << failed.out;
  RunResult unsat = withStub("echo 's UNSATISFIABLE'\n");
  EXPECT_NE(unsat.out.find("s UNSATISFIABLE \n"), std::string::npos);
  EXPECT_EQ(unsat.status, 0);
}

}  // namespace

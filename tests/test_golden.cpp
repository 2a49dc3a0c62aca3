// Exact lines and files that users' scripts read.
#include <gtest/gtest.h>

#include <regex>
#include <sys/stat.h>

#include "tests/TestHelpers.h"

namespace {

const std::string kBlanks65(65, ' ');
std::string timeLine(const std::string& label, const std::string& trailing = kBlanks65) {
  return "c " + label + "           [ 0-9]{9}\\.[0-9]{2}" + trailing + "\n";
}

TEST(Golden, WorkedRunFromFormulaToModel) {
  RunResult r = runTarvel("begin <r1>p1 & [r1]p2 end", {"-model"});
  EXPECT_EQ(r.status, 0);
  std::regex head(timeLine("Tran2S5NF_time\\(ms\\):") + "c possible worlds:  2     \n" +
                  timeLine("Tran2SAT_time\\(ms\\):") + "c The SAT-Solver CaDiCaL [^\n]* is running -- \nc\n");
  EXPECT_TRUE(std::regex_search(r.out, head, std::regex_constants::match_continuous)) << r.out;
  EXPECT_NE(r.out.find("c |  Number of SAT variables:                          4" + std::string(50, ' ') + "|\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("c |  Number of original SAT clauses:                   5" + std::string(50, ' ') + "|\n"),
            std::string::npos);
  EXPECT_TRUE(std::regex_search(r.out, std::regex("\n\ns SATISFIABLE\n" + timeLine("Total_time\\(ms\\):") + "$")));
  EXPECT_EQ(r.result, "SAT\nc ===== S5-model====\nv possible world0:  p2\nv possible world1:  p1 p2\n");
  EXPECT_EQ(r.err, "");
}

TEST(Golden, FormulasThatReduceToConstants) {
  RunResult f = runTarvel("begin p1 & ~p1 & false end");
  EXPECT_TRUE(std::regex_match(f.out, std::regex(timeLine("Tran2S5NF_time\\(ms\\):") +
                                                 "c Solved in transforming into S5-NF process..\n"
                                                 "c The S5 formula can be reduced as false.\n"
                                                 "s UNSATISFIABLE\n" + timeLine("Total_time\\(ms\\):"))))
      << f.out;
  EXPECT_EQ(f.result, "UNSAT\n");
  RunResult t = runTarvel("begin [r1]p1 | true end", {"-s5nf"});
  EXPECT_TRUE(std::regex_match(t.out, std::regex(timeLine("Tran2S5NF_time\\(ms\\):") +
                                                 "c Solved in transforming into S5-NF process..\n"
                                                 "c The S5 formula can be reduced as true.\n"
                                                 "s SATISFIABLE\n" +
                                                 timeLine("Total_time\\(ms\\):", std::string(64, ' ')))))
      << t.out;
  EXPECT_EQ(t.result, "SAT\n");
  EXPECT_EQ(t.err, "");
  EXPECT_EQ(f.status + t.status, 0);
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
    EXPECT_TRUE(std::regex_search(r.out, std::regex("s SATISFIABLE \nc Minimal model: 3 \n" +
                                                    timeLine("Total_time\\(ms\\):") + "$")))
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
  EXPECT_TRUE(std::regex_search(ok.out, std::regex("c solving\n \ns SATISFIABLE \nc Minimal model: 4 \n"
                                                   "c Total_time\\(ms\\):           [ 0-9]{6,}\\.[0-9]{2}")))
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

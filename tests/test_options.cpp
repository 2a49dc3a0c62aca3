#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "driver/S5Options.h"
#include "tests/TestHelpers.h"

namespace {

struct Parsed {
  S5Options opt;
  std::vector<std::string> positional;
};

// The file fields point into the argument vector, so the arguments outlive the parse.
Parsed parse(const std::vector<std::string>& given) {
  static std::deque<std::string> storage;
  std::vector<char*> argv;
  storage.push_back("./Tarvel");
  argv.push_back(&storage.back()[0]);
  for (const auto& a : given) {
    storage.push_back(a);
    argv.push_back(&storage.back()[0]);
  }
  int argc = static_cast<int>(argv.size());
  argv.push_back(nullptr);
  Parsed p;
  p.opt.parseS5Options(argc, argv.data(), true);
  for (int i = 1; i < argc; i++) p.positional.push_back(argv[i]);
  EXPECT_STREQ(argv[0], "./Tarvel");
  return p;
}

// The single options are covered end to end; these are the orders and spellings.
TEST(Options, LaterOptionsWinAndHelpSuffixIsDropped) {
  Parsed p = parse({"-s5nf=first", "a", "-s5nf=second", "--helpme", "-s5nf", "b", "-satcnf=", "-minimal=2", "-minimal"});
  EXPECT_STREQ(p.opt.s5nfFile, "second");
  ASSERT_NE(p.opt.satcnfFile, nullptr);
  EXPECT_STREQ(p.opt.satcnfFile, "");
  EXPECT_EQ(p.opt.minimalMode, 1);
  EXPECT_EQ(p.positional, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(parse({"-minimal=2", "-minimal=4"}).opt.minimalMode, 4);
}

// Every argument error ends the run with status 1 and one line, before any file is written.
TEST(Options, ArgumentErrorsEndTheRunWithStatusOne) {
  mkdir((scratchDir() + "/adir").c_str(), 0755);
  writeFile(scratchDir() + "/ok.txt", "begin p1 end");
  auto unknown = [](const std::string& shown) { return "ERROR! Unknown flag \"" + shown + "\". Use '--help' for help.\n"; };
  struct Case {
    std::vector<std::string> args;
    std::string out, err;
  } cases[] = {
      {{"in.txt", "-"}, "", unknown("")}, {{"in.txt", "--"}, "", unknown("-")}, {{"in.txt", "--h"}, "", unknown("-h")},
      {{"in.txt", "-s5nfx"}, "", unknown("s5nfx")}, {{"in.txt", "-satcnf:f"}, "", unknown("satcnf:f")},
      {{"in.txt", "-minimal="}, "", unknown("minimal=")}, {{"in.txt", "-minimal=5"}, "", unknown("minimal=5")},
      {{"in.txt", "-minimal=0"}, "", unknown("minimal=0")}, {{"in.txt", "-Model"}, "", unknown("Model")},
      {{"adir", "adir.res"}, "Can't open input file adir: it is a directory\n", ""},
      {{"ok.txt", "no/such/dir/r.txt"}, "Can't open result file no/such/dir/r.txt\n", ""},
  };
  for (const auto& c : cases) {
    RunResult r = runArgs(c.args);
    EXPECT_EQ(r.status, 1) << c.args.back();
    EXPECT_EQ(r.err, c.err) << c.args.back();
    EXPECT_EQ(r.out, c.out) << c.args.back();
  }
  EXPECT_NE(access((scratchDir() + "/adir.res").c_str(), F_OK), 0) << "result file created for a directory input";
}

TEST(Options, HelpPrintsUsageAndExitsZero) {
  RunResult r = runArgs({"-model", "--help", "-bogus"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "\nUSAGE: ./Tarvel [options] <input-file> <result-output-file>\n"
            "\nOPTIONS: \n\n"
            "-model,                                      (default:off) \n"
            "      output the model.\n\n"
            "-s5nf, -s5nf=<s5nf-output-file>           (default:off) \n"
            "      output the S5-NF.\n\n"
            "-satcnf, -satcnf=<satcnf-output-file>           (default:off) \n"
            "      output the SAT-CNF.\n\n"
            "-no-result,                                  (default:off) \n"
            "      if one just want to get the S5-CNF or SAT-CNF and don't want to solve the instance.\n\n"
            "-classic-bound,                              (default:off) \n"
            "      one world per diamond clause instead of the conflict analysis (a baseline).\n\n"
            "-one-shot,                                   (default:off) \n"
            "      one solve over every possible world instead of adding witness worlds on demand.\n\n");
}

}  // namespace

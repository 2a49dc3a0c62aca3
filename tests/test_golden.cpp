// Exact lines and files that users' scripts read, as data: each file under
// tests/data/runs is one case run in a fresh directory.
//   <<< NAME        a file written before the first run (NAME/ makes a directory)
//   $ ARGS          runs Tarvel with the words ARGS; the checks below apply to it
//   >>> status N    the exit status (0 unless given)
//   >>> stdout, >>> stderr, >>> NAME    exact text of the stream or file
//   >>> absent NAME NAME is not there after the run
// Lines starting with '#' are comments. In expected text "<ms>" stands for a
// time printed "%12.2f", "<*>" for any part of a line and a line "<...>" for
// any number of lines.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <numeric>

#include "tests/TestHelpers.h"

namespace {

struct Run {
  std::vector<std::string> args;
  int status = 0;
  std::vector<std::pair<std::string, std::string>> expected;  // stdout, stderr or a file name; text
  std::vector<std::string> absent;
};

struct Case {
  std::vector<std::pair<std::string, std::string>> inputs;
  std::vector<Run> runs;
};

Case readCase(const std::string& path) {
  Case c;
  std::istringstream in(readFile(path));
  std::string line, *text = nullptr;
  while (std::getline(in, line)) {
    if (line.rfind("#", 0) == 0) continue;
    if (line.rfind("<<< ", 0) == 0) {
      c.inputs.push_back({line.substr(4), ""});
      text = &c.inputs.back().second;
    } else if (line.rfind("$", 0) == 0) {
      c.runs.emplace_back();
      std::istringstream words(line.substr(1));
      for (std::string w; words >> w;) c.runs.back().args.push_back(w);
      text = nullptr;
    } else if (line.rfind(">>> status ", 0) == 0) {
      c.runs.back().status = std::stoi(line.substr(11));
    } else if (line.rfind(">>> absent ", 0) == 0) {
      c.runs.back().absent.push_back(line.substr(11));
    } else if (line.rfind(">>> ", 0) == 0) {
      c.runs.back().expected.push_back({line.substr(4), ""});
      text = &c.runs.back().expected.back().second;
    } else if (text != nullptr) {
      *text += line + "\n";
    } else {
      ADD_FAILURE() << path << ": stray line " << line;
    }
  }
  return c;
}

bool isDigit(char ch) { return std::isdigit(static_cast<unsigned char>(ch)) != 0; }

// A time value as printed: nine right-aligned columns, a point, two decimals.
bool isTimeAt(const std::string& line, size_t at) {
  if (at + 12 > line.size()) return false;
  for (size_t k = at; k < at + 8; k++)
    if (line[k] != ' ' && !isDigit(line[k])) return false;
  return isDigit(line[at + 8]) && line[at + 9] == '.' && isDigit(line[at + 10]) && isDigit(line[at + 11]);
}

// `<ms>` stands for a time value, `<*>` for any text; everything else is literal.
bool lineMatches(const std::string& pattern, const std::string& line, size_t pi = 0, size_t li = 0) {
  for (; pi < pattern.size(); pi++, li++) {
    if (pattern.compare(pi, 4, "<ms>") == 0) return isTimeAt(line, li) && lineMatches(pattern, line, pi + 4, li + 12);
    if (pattern.compare(pi, 3, "<*>") == 0) {
      for (size_t k = li; k <= line.size(); k++)
        if (lineMatches(pattern, line, pi + 3, k)) return true;
      return false;
    }
    if (li == line.size() || pattern[pi] != line[li]) return false;
  }
  return li == line.size();
}

// The lines of a text; one ended by a newline is followed by an empty one.
std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out(1);
  for (char ch : text) ch == '\n' ? out.emplace_back() : out.back() += ch;
  return out;
}

bool matches(const std::vector<std::string>& want, size_t i, const std::vector<std::string>& got, size_t j) {
  if (i == want.size()) return j == got.size();
  if (want[i] == "<...>") {
    for (size_t k = j; k <= got.size(); k++)
      if (matches(want, i + 1, got, k)) return true;
    return false;
  }
  return j < got.size() && lineMatches(want[i], got[j]) && matches(want, i + 1, got, j + 1);
}

// Runs every run of the case file `name` and checks it; returns what the runs printed.
std::vector<RunResult> runCase(const std::string& name) {
  Case c = readCase(std::string(TARVEL_SOURCE_DIR) + "/tests/data/runs/" + name);
  std::string dir = scratchDir() + "/" + name;
  mkdir(dir.c_str(), 0755);
  for (const auto& [file, text] : c.inputs) {
    if (file.back() == '/') {
      mkdir((dir + "/" + file).c_str(), 0755);
      continue;
    }
    writeFile(dir + "/" + file, text);
    chmod((dir + "/" + file).c_str(), 0755);  // a stand-in solver script runs
  }
  std::vector<RunResult> results;
  for (const Run& run : c.runs) {
    for (const auto& [what, text] : run.expected) std::remove((dir + "/" + what).c_str());
    RunResult r = runArgs(run.args, dir);
    std::string shown = name + ": $" + std::accumulate(run.args.begin(), run.args.end(), std::string(),
                                                        [](std::string a, const std::string& b) { return a + " " + b; });
    EXPECT_EQ(r.status, run.status) << shown << "\n" << r.out << r.err;
    for (const auto& [what, text] : run.expected) {
      std::string got = what == "stdout" ? r.out : what == "stderr" ? r.err : readFile(dir + "/" + what);
      EXPECT_TRUE(matches(lines(text), 0, lines(got), 0))
          << shown << "\n--- " << what << " expected:\n" << text << "--- but was:\n" << got;
    }
    for (const std::string& file : run.absent)
      EXPECT_NE(access((dir + "/" + file).c_str(), F_OK), 0) << shown << ": " << file << " was written";
    results.push_back(r);
  }
  return results;
}

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(std::string(TARVEL_SOURCE_DIR) + "/tests/data/runs"))
    if (e.path().extension() == ".case") names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A moved or unreadable data directory would otherwise leave no case to fail.
TEST(Golden, CaseFilesAreFound) { EXPECT_GE(caseNames().size(), 19u); }

class Golden : public testing::TestWithParam<std::string> {};
TEST_P(Golden, Run) { runCase(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Runs, Golden, testing::ValuesIn(caseNames()), [](const auto& info) {
  std::string name = info.param.substr(0, info.param.find('.'));
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
});

// The time the MaxSAT solver reports (1.5 s) counts in the total.
TEST(Golden, MaxSatTimeCountsInTheTotal) {
  RunResult ok = runCase("maxsat.case").at(0);
  size_t at = ok.out.find("Total_time(ms):");
  ASSERT_NE(at, std::string::npos) << ok.out;
  EXPECT_GE(std::stod(ok.out.substr(at + 15)), 1500.0);
}

// Runs sharing a directory each solve their own MaxSAT instance, and the
// instance left behind is one run's, whole: header counts match its body.
TEST(Golden, ParallelMaxSatRunsAnswerTheirOwnFormula) {
  const std::vector<std::pair<std::string, int>> formulas = {
      {"p1 & [r1](p1 | p2)", 1},
      {"<r1>p1 & <r1>~p1", 2},
      {"<r1>(p1 & p2) & <r1>(p1 & ~p2) & <r1>~p1", 3},
      {"<r1>(p1 & p2) & <r1>(p1 & ~p2) & <r1>(~p1 & p2) & <r1>(~p1 & ~p2)", 4},
  };
  std::string dir = scratchDir() + "/parallel-maxsat";
  mkdir(dir.c_str(), 0755);
  std::string script = "cd " + shellQuote(dir) + " || exit 1;";
  for (size_t i = 0; i < 8; i++) {
    std::string name = "f" + std::to_string(i);
    writeFile(dir + "/" + name + ".txt", "begin\n" + formulas[i % 4].first + "\nend\n");
    script += " " + shellQuote(TARVEL_BIN) + " -minimal=4 " + name + ".txt >" + name + ".out 2>&1 &";
  }
  script += " wait";
  for (int round = 0; round < 10; round++) {
    ASSERT_EQ(std::system(script.c_str()), 0);
    for (size_t i = 0; i < 8; i++) {
      std::string out = readFile(dir + "/f" + std::to_string(i) + ".out");
      std::string expected = "c Minimal model: " + std::to_string(formulas[i % 4].second) + " \n";
      EXPECT_NE(out.find(expected), std::string::npos) << "round " << round << ", run " << i << ":\n" << out;
    }
    std::string instance = readFile(dir + "/maxsat.wcnf");
    long clauses = 0, ended = 0;
    ASSERT_EQ(std::sscanf(instance.c_str(), "p wcnf %*d %ld %*d", &clauses), 1) << "round " << round;
    for (const std::string& line : lines(instance.substr(instance.find('\n') + 1))) {
      std::istringstream words(line);
      std::string word, last;
      while (words >> word) last = word;
      ended += last == "0";
    }
    EXPECT_EQ(ended, clauses) << "round " << round;
  }
}

}  // namespace

#pragma once
// Helpers for tests that run the Tarvel binary like a user would.
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct RunResult {
  int status = -1;     // exit status (or 128 + signal)
  std::string out;     // standard output
  std::string err;     // standard error
  std::string result;  // result file contents ("" if none was written)
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A scratch directory per test process, removed by nobody: tests run in /tmp.
inline std::string scratchDir() {
  static std::string dir = [] {
    char tmpl[] = "/tmp/tarvel_test_XXXXXX";
    return std::string(mkdtemp(tmpl));
  }();
  return dir;
}

inline std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs Tarvel with `args` (already separate words) in directory `cwd`
// (default: the scratch directory), capturing both streams.
inline RunResult runArgs(const std::vector<std::string>& args, const std::string& cwd = "") {
  static int counter = 0;
  std::string dir = cwd.empty() ? scratchDir() : cwd;
  std::string base = scratchDir() + "/run" + std::to_string(getpid()) + "_" + std::to_string(counter++);
  std::string cmd = "cd " + shellQuote(dir) + " && " + shellQuote(TARVEL_BIN);
  for (const auto& a : args) cmd += " " + shellQuote(a);
  cmd += " </dev/null >" + shellQuote(base + ".out") + " 2>" + shellQuote(base + ".err");
  int raw = std::system(cmd.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  r.out = readFile(base + ".out");
  r.err = readFile(base + ".err");
  return r;
}

// The verdict of a run's "s " line, trailing blanks ignored: 1 SATISFIABLE,
// 0 UNSATISFIABLE, -1 none or a failed run.
inline int verdictOf(const RunResult& r) {
  std::istringstream lines(r.out);
  for (std::string line; r.status == 0 && std::getline(lines, line);) {
    line.erase(line.find_last_not_of(' ') + 1);
    if (line == "s SATISFIABLE" || line == "s UNSATISFIABLE") return line == "s SATISFIABLE";
  }
  return -1;
}

// Writes `formula` (the whole file text) to a fresh file, runs Tarvel on it with
// `options` and a result file, and returns what the run printed and wrote.
inline RunResult runTarvel(const std::string& formula, const std::vector<std::string>& options = {}) {
  static int counter = 0;
  std::string base = scratchDir() + "/f" + std::to_string(getpid()) + "_" + std::to_string(counter++);
  writeFile(base + ".in", formula);
  std::remove((base + ".res").c_str());
  std::vector<std::string> args = options;
  args.push_back(base + ".in");
  args.push_back(base + ".res");
  RunResult r = runArgs(args);
  r.result = readFile(base + ".res");
  return r;
}

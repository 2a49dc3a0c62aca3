// Timings of the library through its public header, for bench/compare-api.
// Usage:
//   api-bench files FILE...            decide each file in this process: "<file> <verdict> <CPU ms>"
//   api-bench threads T FILE...        decide all files on T threads: "threads T: <ms>"
//   api-bench incremental N ATOMS DEPTH SEED [PREFIX-DIR]
//       N random modal 3-clauses added one at a time with a check after
//       (CPU ms)
//       each, against one check of all N; a push/pop series; with PREFIX-DIR
//       also writes every prefix as a formula file for the command line.
#include <tarvel/tarvel.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

std::string readFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

const char* word(tarvel::Result r) {
  return r == tarvel::Result::Sat ? "SAT" : r == tarvel::Result::Unsat ? "UNSAT" : "UNKNOWN";
}

tarvel::Result decide(const std::string& text) {
  tarvel::Solver s;
  s.add(tarvel::parse(text));
  return s.check();
}

// CPU time, as the command line's Total_time line has it.
double cpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

int files(int argc, char** argv) {
  for (int i = 2; i < argc; i++) {
    std::string text = readFile(argv[i]);
    double t = cpuMs();
    tarvel::Result r = decide(text);
    std::printf("%s %s %.2f\n", argv[i], word(r), cpuMs() - t);
  }
  return 0;
}

int threads(int argc, char** argv) {
  int n = std::atoi(argv[2]);
  std::vector<std::string> texts;
  for (int i = 3; i < argc; i++) texts.push_back(readFile(argv[i]));
  // Largest first, so that no thread is left with a long file at the end.
  std::sort(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  std::atomic<size_t> next{0};
  Clock::time_point t = Clock::now();
  std::vector<std::thread> pool;
  for (int k = 0; k < n; k++)
    pool.emplace_back([&] {
      for (size_t i = next++; i < texts.size(); i = next++) decide(texts[i]);
    });
  for (auto& th : pool) th.join();
  std::printf("threads %d: %.1f ms\n", n, msSince(t));
  return 0;
}

// A random modal 3-clause: three literals, each an atom or a negated one,
// or below `depth` a (negated) Box or Diamond over such a clause.
tarvel::Formula randomClause(std::mt19937& rng, int atoms, int depth) {
  tarvel::Formula c = tarvel::bottom();
  for (int i = 0; i < 3; i++) {
    tarvel::Formula l;
    if (depth == 0 || rng() % 2 == 0) {
      l = tarvel::atom(1 + static_cast<int>(rng() % static_cast<unsigned>(atoms)));
    } else {
      tarvel::Formula inner = randomClause(rng, atoms, depth - 1);
      l = rng() % 2 ? tarvel::box(inner) : tarvel::diamond(inner);
    }
    if (rng() % 2) l = !l;
    c = i == 0 ? l : c || l;
  }
  return c;
}

int incremental(int argc, char** argv) {
  int n = std::atoi(argv[2]), atoms = std::atoi(argv[3]), depth = std::atoi(argv[4]);
  std::mt19937 rng(static_cast<unsigned>(std::atoi(argv[5])));
  std::vector<tarvel::Formula> clauses;
  for (int i = 0; i < n; i++) clauses.push_back(randomClause(rng, atoms, depth));

  double t = cpuMs();
  tarvel::Solver one;
  int sat = 0;
  for (const auto& c : clauses) {
    one.add(c);
    sat += one.check() == tarvel::Result::Sat;
  }
  double stepwise = cpuMs() - t;

  t = cpuMs();
  tarvel::Solver all;
  for (const auto& c : clauses) all.add(c);
  tarvel::Result whole = all.check();
  double together = cpuMs() - t;

  // Each clause is first tried in a scope of its own, then added for good.
  t = cpuMs();
  tarvel::Solver scoped;
  for (const auto& c : clauses) {
    scoped.push();
    scoped.add(c);
    scoped.check();
    scoped.pop();
    scoped.add(c);
  }
  scoped.check();
  double pushPop = cpuMs() - t;

  std::printf("clauses %d, atoms %d, depth %d: %d of %d checks Sat, all together %s\n", n, atoms, depth, sat, n, word(whole));
  tarvel::Statistics st = one.statistics(), sa = all.statistics();
  std::printf("one at a time, check after each: %.1f ms (%lld rounds, %d witness worlds)\n", stepwise, st.rounds,
              st.worldsActivated);
  std::printf("all together, one check: %.1f ms (%lld rounds, %d witness worlds)\n", together, sa.rounds,
              sa.worldsActivated);
  std::printf("push, add, check, pop, add, for each: %.1f ms\n", pushPop);
  if (argc > 6) {
    std::string prefix = "begin\n";
    for (int i = 0; i < n; i++) {
      prefix += (i == 0 ? "" : " &\n") + tarvel::to_string(clauses[static_cast<size_t>(i)]);
      std::ofstream(std::string(argv[6]) + "/prefix" + std::to_string(i + 1) + ".txt") << prefix << "\nend\n";
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "files") return files(argc, argv);
  if (mode == "threads" && argc > 3) return threads(argc, argv);
  if (mode == "incremental" && argc > 5) return incremental(argc, argv);
  std::fprintf(stderr, "usage: api-bench files FILE... | threads T FILE... | incremental N ATOMS DEPTH SEED [DIR]\n");
  return 2;
}

// The SAT library alone on the clauses Tarvel writes with -satcnf: how long
// its search takes and how much memory it needs, without Tarvel around it.
// Build: g++ -O2 bench/library-alone.cpp -lcadical -o library-alone
// Usage: library-alone SATCNF-FILE [option=value ...] (library options,
//   e.g. lucky=0 as Tarvel's default path sets it). Peak memory: run it
//   under /usr/bin/time -v.
#include <cadical.hpp>

#include <cstdio>
#include <ctime>
#include <string>

namespace {

double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

bool setOptions(CaDiCaL::Solver& s, int argc, char** argv) {
  for (int i = 2; i < argc; i++) {
    std::string a = argv[i];
    auto eq = a.find('=');
    if (eq == std::string::npos || !s.set(a.substr(0, eq).c_str(), std::stoi(a.substr(eq + 1)))) {
      std::fprintf(stderr, "library-alone: bad option %s\n", argv[i]);
      return false;
    }
  }
  return true;
}

// The -satcnf file: comment lines, then clauses as literals closed by 0, no header.
bool load(CaDiCaL::Solver& s, const char* path) {
  FILE* f = std::fopen(path, "r");
  if (f == nullptr) return false;
  int c;
  while ((c = std::getc(f)) != EOF) {
    if (c == 'c') {
      while ((c = std::getc(f)) != EOF && c != '\n') {
      }
      continue;
    }
    std::ungetc(c, f);
    int lit;
    if (std::fscanf(f, "%d", &lit) == 1) {
      s.add(lit);
    } else if (std::getc(f) == EOF) {
      break;
    }
  }
  std::fclose(f);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: library-alone SATCNF-FILE [option=value ...]\n");
    return 2;
  }
  CaDiCaL::Solver s;
  if (!setOptions(s, argc, argv)) return 2;
  double start = cpuSeconds();
  if (!load(s, argv[1])) {
    std::fprintf(stderr, "library-alone: can't read %s\n", argv[1]);
    return 2;
  }
  double loaded = cpuSeconds();
  int verdict = s.solve();
  std::printf("verdict %d vars %d load %.2f s solve %.2f s\n", verdict, s.vars(), loaded - start,
              cpuSeconds() - loaded);
  return 0;
}

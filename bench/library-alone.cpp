// The SAT library alone on the clauses Tarvel writes with -satcnf: how long
// its search takes and how much memory it needs, without Tarvel around it.
// Build: g++ -O2 bench/library-alone.cpp -lcadical -o library-alone
// Usage: library-alone SATCNF-FILE [option=value ...] (library options,
//   e.g. lucky=0 as Tarvel's default path sets it). Peak memory: run it
//   under /usr/bin/time -v.
#include <cadical.hpp>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

bool setOptions(CaDiCaL::Solver& s, int argc, char** argv) {
  for (int i = 2; i < argc; i++) {
    std::string a = argv[i];
    auto eq = a.find('=');
    const char* digits = eq == std::string::npos ? "" : a.c_str() + eq + 1;
    char* end;
    long value = std::strtol(digits, &end, 10);
    if (end == digits || *end != '\0' || !s.set(a.substr(0, eq).c_str(), static_cast<int>(value))) {
      std::fprintf(stderr, "library-alone: bad option %s\n", argv[i]);
      return false;
    }
  }
  return true;
}

// The -satcnf file: comment lines, then clauses as literals closed by 0, no
// header. Anything else is an error rather than skipped.
bool load(CaDiCaL::Solver& s, const char* path) {
  FILE* f = std::fopen(path, "r");
  if (f == nullptr) return false;
  bool ok = true;
  int c;
  while (ok) {
    while ((c = std::getc(f)) != EOF && std::isspace(c)) {
    }
    if (c == EOF) break;
    if (c == 'c') {
      while ((c = std::getc(f)) != EOF && c != '\n') {
      }
      continue;
    }
    std::ungetc(c, f);
    int lit;
    ok = std::fscanf(f, "%d", &lit) == 1;
    if (ok) s.add(lit);
  }
  std::fclose(f);
  return ok;
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

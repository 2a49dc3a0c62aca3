#include "driver/S5Options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool startsWith(const char* s, const char* prefix) {
  return std::strncmp(s, prefix, std::strlen(prefix)) == 0;
}

// "-name" alone sets the flag; "-name=file" sets it and the file; anything else is no match.
bool matchFileOption(const char* arg, const char* name, bool& flag, const char*& file) {
  if (!startsWith(arg, name)) return false;
  const char* rest = arg + std::strlen(name);
  if (*rest == '\0') {
    flag = true;
    return true;
  }
  if (*rest != '=') return false;
  flag = true;
  file = rest + 1;
  return true;
}

}  // namespace

void S5Options::parseS5Options(int& argc, char** argv, bool strict) {
  int i = 1, j = 1;
  for (; i < argc; i++) {
    const char* arg = argv[i];
    if (startsWith(arg, "--help")) {
      if (std::strcmp(arg, "--help") == 0) printS5UsageAndExit();
      continue;  // "--help..." is dropped silently
    }
    bool known = false;
    auto setMode = [&](int mode) {
      minimal = true;
      minimalMode = mode;
      known = true;
    };
    if (std::strcmp(arg, "-model") == 0) {
      model = known = true;
    } else if (std::strcmp(arg, "-classic-bound") == 0) {
      classicBound = known = true;
    } else if (std::strcmp(arg, "-one-shot") == 0) {
      oneShot = known = true;
    } else if (std::strcmp(arg, "-no-result") == 0) {
      noResult = known = true;
    } else if (std::strcmp(arg, "-minimal=1") == 0 || std::strcmp(arg, "-minimal") == 0) {
      setMode(1);
    } else if (std::strcmp(arg, "-minimal=2") == 0) {
      setMode(2);
    } else if (std::strcmp(arg, "-minimal=3") == 0) {
      setMode(3);
    } else if (std::strcmp(arg, "-minimal=4") == 0) {
      setMode(4);
    } else {
      known = matchFileOption(arg, "-s5nf", s5nf, s5nfFile) ||
              matchFileOption(arg, "-satcnf", satcnf, satcnfFile);
    }
    if (known) continue;
    if (strict && arg[0] == '-') {
      std::fprintf(stderr, "ERROR! Unknown flag \"%s\". Use '--help' for help.\n", arg + 1);
      std::exit(1);
    }
    argv[j++] = argv[i];
  }
  argc -= i - j;
}

void S5Options::printS5UsageAndExit() {
  std::fprintf(stderr, "\nUSAGE: ./Tarvel [options] <input-file> <result-output-file>\n");
  std::fprintf(stderr, "\nOPTIONS: \n\n");
  std::fprintf(stderr, "-model,                                      (default:off) \n");
  std::fprintf(stderr, "      output the model.\n\n");
  std::fprintf(stderr, "-s5nf, -s5nf=<s5nf-output-file>           (default:off) \n");
  std::fprintf(stderr, "      output the S5-NF.\n\n");
  std::fprintf(stderr, "-satcnf, -satcnf=<satcnf-output-file>           (default:off) \n");
  std::fprintf(stderr, "      output the SAT-CNF.\n\n");
  std::fprintf(stderr, "-no-result,                                  (default:off) \n");
  std::fprintf(stderr,
               "      if one just want to get the S5-CNF or SAT-CNF and don't want to solve the instance.\n\n");
  std::fprintf(stderr, "-classic-bound,                              (default:off) \n");
  std::fprintf(stderr, "      one world per diamond clause instead of the conflict analysis (a baseline).\n\n");
  std::fprintf(stderr, "-one-shot,                                   (default:off) \n");
  std::fprintf(stderr, "      one solve over every possible world instead of adding witness worlds on demand.\n\n");
  std::exit(0);
}

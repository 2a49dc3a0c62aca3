#include "cli/S5Options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum class ArgShape {
  Flag,        // "-name"
  FlagOrFile,  // "-name" or "-name=<file>"
  Mode,        // "-name" (mode 1) or "-name=<1..4>"
};

// Every option once: the parser and the usage text both read this table, so
// a new option is one new row.
struct OptionRow {
  const char* name;
  ArgShape shape;
  bool S5Options::*flag;          // Flag and FlagOrFile
  const char* S5Options::*file;  // FlagOrFile
  const char* usage;             // the option's lines of the usage text
};

const OptionRow optionTable[] = {
    {"-model", ArgShape::Flag, &S5Options::model, nullptr,
     "-model,                                      (default:off) \n"
     "      output the model.\n\n"},
    {"-s5nf", ArgShape::FlagOrFile, &S5Options::s5nf, &S5Options::s5nfFile,
     "-s5nf, -s5nf=<s5nf-output-file>           (default:off) \n"
     "      output the S5-NF.\n\n"},
    {"-satcnf", ArgShape::FlagOrFile, &S5Options::satcnf, &S5Options::satcnfFile,
     "-satcnf, -satcnf=<satcnf-output-file>           (default:off) \n"
     "      output the SAT-CNF.\n\n"},
    {"-no-result", ArgShape::Flag, &S5Options::noResult, nullptr,
     "-no-result,                                  (default:off) \n"
     "      if one just want to get the S5-CNF or SAT-CNF and don't want to solve the instance.\n\n"},
    {"-classic-bound", ArgShape::Flag, &S5Options::classicBound, nullptr,
     "-classic-bound,                              (default:off) \n"
     "      one world per diamond clause instead of the conflict analysis (a baseline).\n\n"},
    {"-one-shot", ArgShape::Flag, &S5Options::oneShot, nullptr,
     "-one-shot,                                   (default:off) \n"
     "      one solve over every possible world instead of adding witness worlds on demand.\n\n"},
    {"-minimal", ArgShape::Mode, nullptr, nullptr,
     "-minimal, -minimal=<1..4>                    (default:off) \n"
     "      find a model with the fewest worlds: 1 ascending (the default), 2 descending,\n"
     "      3 binary search, 4 one MaxSAT instance solved by starexec_run_A.\n\n"},
};

// Applies `row` to `opt` when `arg` spells it; false when it does not.
bool applyOption(const OptionRow& row, const char* arg, S5Options& opt) {
  size_t length = std::strlen(row.name);
  if (std::strncmp(arg, row.name, length) != 0) return false;
  const char* rest = arg + length;
  if (row.shape == ArgShape::Mode) {
    if (*rest == '\0') {
      opt.minimal = MinimalMode::Ascending;
      return true;
    }
    if (rest[0] != '=' || rest[1] < '1' || rest[1] > '4' || rest[2] != '\0') return false;
    opt.minimal = static_cast<MinimalMode>(rest[1] - '0');
    return true;
  }
  if (*rest == '\0') {
    opt.*row.flag = true;
    return true;
  }
  if (*rest != '=' || row.shape == ArgShape::Flag) return false;
  opt.*row.file = rest + 1;
  opt.*row.flag = true;
  return true;
}

bool applyAnyOption(const char* arg, S5Options& opt) {
  for (const OptionRow& row : optionTable)
    if (applyOption(row, arg, opt)) return true;
  return false;
}

}  // namespace

void S5Options::parseS5Options(int& argc, char** argv, bool strict) {
  int i = 1, j = 1;
  for (; i < argc; i++) {
    const char* arg = argv[i];
    if (std::strncmp(arg, "--help", 6) == 0) {
      if (arg[6] == '\0') printS5UsageAndExit();
      continue;  // "--help..." is dropped silently
    }
    if (applyAnyOption(arg, *this)) continue;
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
  for (const OptionRow& row : optionTable) std::fputs(row.usage, stderr);
  std::exit(0);
}

#pragma once
// Command-line options.

// How -minimal searches for the fewest worlds: candidate counts ascending,
// descending, by halving, or one MaxSAT instance for the external solver.
enum class MinimalMode { Off, Ascending, Descending, Halving, MaxSat };

struct S5Options {
  bool model = false;
  bool s5nf = false;
  const char* s5nfFile = nullptr;
  bool satcnf = false;
  const char* satcnfFile = nullptr;
  bool noResult = false;
  MinimalMode minimal = MinimalMode::Off;
  bool classicBound = false;  // one world per diamond clause, for measuring the conflict analysis
  bool oneShot = false;       // one solve over all worlds instead of lazy witness worlds

  bool isMinimal() const { return minimal != MinimalMode::Off; }

  // Removes recognised options from argv; argc becomes 1 + positional count.
  // Unknown flag (strict): message on stderr, exit 1. "--help": usage, exit 0.
  void parseS5Options(int& argc, char** argv, bool strict);
  [[noreturn]] void printS5UsageAndExit();
};

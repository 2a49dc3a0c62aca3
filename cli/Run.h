#pragma once
// What one run holds from the options to its last line: the options, the
// result file, the names of the renamed atoms and the CPU times the timing
// lines are measured from.
#include <cstdio>

#include "cli/S5Options.h"
#include "frontend/AtomNames.h"

class Run {
 public:
  // `result`: the opened result file or null; the run owns it from here.
  Run(const S5Options& options, FILE* result, const char* programPath)
      : options(options), programPath(programPath), resultFile(result) {}
  // Closes the result file: every path out of a run writes it completely.
  ~Run() {
    if (resultFile != nullptr) std::fclose(resultFile);
  }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  // The result file, or null when the run has none. Writers never close it.
  FILE* result() const { return resultFile; }

  const S5Options options;
  const char* const programPath;  // argv[0]: where to look for programs shipped beside it
  AtomNames names;
  double start = 0;           // CPU ms when the formula began to be read
  double normalFormDone = 0;  // CPU ms when the normal form was ready

 private:
  FILE* resultFile;
};

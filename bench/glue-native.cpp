// The web module's glue built natively: decides each file named on the
// command line twice and prints "<verdict> <ms> <ms>" per file, timing the
// same call the page makes; the second call runs on memory the process
// already has, as the wasm module's second run does. Built and run by
// bench/web-lwb.mjs.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

extern "C" const char* tarvel_solve(const char* text, int task, double seconds);

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i]);
    std::stringstream text;
    text << in.rdbuf();
    std::string answer;
    double ms[2];
    for (double& m : ms) {
      auto started = std::chrono::steady_clock::now();
      answer = tarvel_solve(text.str().c_str(), 0, 10);
      m = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    }
    std::string verdict = answer.substr(11, answer.find('"', 11) - 11);  // after {"result":"
    std::printf("%s %.1f %.1f\n", verdict.c_str(), ms[0], ms[1]);
  }
}

// The web module's glue built natively: decides each file named on the
// command line and prints "<verdict> <milliseconds>" per file, timing the
// same call the page makes. Built and run by bench/web-lwb.mjs.
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
    auto started = std::chrono::steady_clock::now();
    std::string answer = tarvel_solve(text.str().c_str(), 0, 10);
    std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - started;
    std::string verdict = answer.substr(11, answer.find('"', 11) - 11);  // after {"result":"
    std::printf("%s %.1f\n", verdict.c_str(), ms.count());
  }
}

#include "frontend/printError.h"

#include <cstdio>

void printError(int code, const std::string& message) {
  std::printf("* Error(%d): %s\n", code, message.c_str());
  std::fflush(stdout);
}

#pragma once
// The numbered errors of the front end, as values: the front end prints
// nothing, its caller shows them.
#include <string>

// "* Error(<code>): <message>", the one shape of every numbered error line.
inline std::string errorLine(int code, const std::string& message) {
  return "* Error(" + std::to_string(code) + "): " + message;
}

// A formula the normal form cannot handle, or a failed internal check:
// code 0 while there is none.
struct FrontEndError {
  int code = 0;
  std::string message;

  std::string line() const { return errorLine(code, message); }  // without newline
};

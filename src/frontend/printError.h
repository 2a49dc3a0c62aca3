#pragma once
// Every "* Error(NNN): ..." line of the program goes through printError, so
// the lines keep one shape and reach the user before the run goes on or ends.
#include <string>

// Prints "* Error(<code>): <message>" on standard output and flushes it.
void printError(int code, const std::string& message);

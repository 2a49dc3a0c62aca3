#pragma once
// The answer of a solve; the values are the library's result codes.
enum class Verdict { Indeterminate = 0, Sat = 10, Unsat = 20 };

#pragma once
// The names the user wrote for the atoms whose internal number differs from
// the name: p0 and the vN atoms, numbered first, first + 1, ... (above the
// largest pN of the file) in order of first appearance. Every other atom n,
// the pN atoms and the fresh atoms of the normal form, is shown as "p<n>".
#include <string>
#include <vector>

struct AtomNames {
  int first = 1;                     // internal number of renamed[0]
  std::vector<std::string> renamed;  // user names, in order of first appearance

  std::string name(int atom) const {
    long long i = static_cast<long long>(atom) - first;
    if (i >= 0 && i < static_cast<long long>(renamed.size())) return renamed[static_cast<size_t>(i)];
    return "p" + std::to_string(atom);
  }
};

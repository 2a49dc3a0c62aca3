#pragma once
// Clauses in one flat buffer, each stored as its ints followed by a closing 0
// (DIMACS literals; in the MaxSAT form the weight comes first). One vector
// instead of one per clause: millions of short clauses then cost four bytes an
// int and no allocation each.
#include <cstddef>
#include <initializer_list>
#include <vector>

class ClauseList {
 public:
  // Appends one int to the clause under construction; 0 closes it.
  void push(int x) {
    ints.push_back(x);
    if (x == 0) count++;
  }
  void add(std::initializer_list<int> clause) {
    for (int x : clause) push(x);
  }
  size_t size() const { return count; }

  // visit(first, last) per clause: [first, last) are its ints without the closing 0.
  template <class Visit>
  void forEach(Visit visit) const {
    const int* first = ints.data();
    const int* end = first + ints.size();
    for (const int* p = first; p != end; p++)
      if (*p == 0) {
        visit(first, p);
        first = p + 1;
      }
  }

  void clear() {
    std::vector<int>().swap(ints);
    count = 0;
  }

 private:
  std::vector<int> ints;
  size_t count = 0;
};

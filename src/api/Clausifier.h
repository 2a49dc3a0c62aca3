#pragma once
// Formulas as S5 clauses over the atom numbers of one solver: every formula
// added or assumed shares them, so equal atoms (and equal modal literals)
// meet in one encoding.
#include <string>
#include <unordered_map>
#include <vector>

#include "clauseset/S5clauSet.h"
#include "tarvel/tarvel.hpp"

class Clausifier {
 public:
  // The normal form of `f` as clauses, in this solver's numbering, with the
  // literal `guard` (0: none) added to each: with a guard g, the clauses say
  // "g implies f" and f can be switched on by assuming g. Witness worlds are
  // not set: they depend on every clause of the solver.
  // Throws std::runtime_error when the normal form fails (an internal limit).
  std::vector<std::vector<S5lit>> clauses(const tarvel::Formula& f, int guard);
  // A new atom of the solver's own (a scope or assumption switch).
  int freshAtom() { return ++lastAtom; }
  // The user's atom behind a number; null for a fresh atom.
  const tarvel::Formula* userAtom(int atom) const;
  // Every user atom seen so far, by its number in the solver.
  const std::unordered_map<int, tarvel::Formula>& userAtoms() const { return users; }

 private:
  int numberOf(const tarvel::Formula::Node& a);
  int renumber(int literal, int largestInput, std::unordered_map<int, int>& fresh);

  int lastAtom = 0;
  std::unordered_map<int, int> numbered;       // pN -> atom
  std::unordered_map<std::string, int> named;  // name -> atom
  std::unordered_map<int, tarvel::Formula> users;  // atom -> the user's atom
};

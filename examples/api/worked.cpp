// The worked example of docs/api.md.
#include <tarvel/tarvel.hpp>
#include <iostream>
using namespace tarvel;

int main() {
  Formula p = atom(1), q = atom("q");
  Formula f = box(implies(p, q)) && diamond(p) && !q;
  Solver s;
  s.add(f);
  if (s.check() == Result::Sat) {                 // some model makes f true in world 0
    Model m = s.model();
    for (int w = 0; w < m.worldCount(); w++) {
      std::cout << "world " << w << ":";
      for (const Formula& a : m.trueAtoms(w)) std::cout << " " << a;
      std::cout << "\n";
    }
  }
  if (s.check({p, !q}) == Result::Unsat)          // p and ~q in world 0 clash with f
    for (const Formula& a : s.core(true)) std::cout << "core: " << a << "\n";
  Model cm;
  if (!valid(implies(p, box(p)), &cm))            // not valid: a countermodel
    std::cout << "countermodel of " << cm.worldCount() << " worlds\n";
  std::cout << "fewest worlds: " << s.fewestWorlds() << "\n";
  Formula g = parse("[r1]p1 & <r1>~p1");          // the file language
  std::cout << to_string(g) << "\n";
}

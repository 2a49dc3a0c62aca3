// Every call of the public header once, in the order a first program makes
// them; prints what each answered.
#include <tarvel/tarvel.hpp>

#include <iostream>

using namespace tarvel;

int main() {
  Formula p = atom(1), q = atom("q");
  Formula f = box(implies(p, q)) && diamond(p) && !q && iff(p, p) && (top() || bottom());
  Solver s;
  s.add(f);
  Result r = s.check();                  // Result::Sat, Result::Unsat or Result::Unknown
  Model m = s.model();                   // after Sat
  int n = m.worldCount();                // world 0 is the actual world
  bool h = m.holds(f, 0);                // any formula, any world
  bool v = m.value(p, 1);                // an atom in a world
  for (int w = 2; w < n; w++) v = v || m.value(p, w);
  std::cout << "check: " << (r == Result::Sat ? "sat" : "not sat") << ", f holds in world 0: " << h
            << ", p in a world other than 0: " << v << "\n";
  r = s.check({p, !q});                  // assumptions, for this check only
  std::vector<Formula> c = s.core();     // after Unsat under assumptions: a subset of them
  std::vector<Formula> mc = s.core(true);  // one from which no assumption can be dropped
  std::cout << "under p, ~q: " << (r == Result::Unsat ? "unsat" : "not unsat") << ", core of " << c.size()
            << ", minimal core:";
  for (const Formula& a : mc) std::cout << " " << a;
  std::cout << "\n";
  int k = s.fewestWorlds();              // Search::Ascending; also Search::Descending, Search::Halving,
  std::cout << "fewest worlds: " << k << "\n";
  k = s.fewestWorlds(Search::MaxSat);    //   Search::MaxSat; 0 when unsatisfiable; model() then has k worlds
  std::cout << "fewest worlds by MaxSAT: " << k << ", model has " << s.model().worldCount() << "\n";
  s.push(); s.add(!p); s.pop();
  s.setTimeLimit(1.5);                   // seconds per check; then Result::Unknown
  s.interrupt();                         // from any thread
  Model cm;
  bool ok = valid(f, &cm);               // countermodel filled when not valid
  bool e = entails({box(p)}, p);         // local; entails(premises, conclusion, true) is global
  std::cout << "valid: " << ok << ", countermodel falsifies f: " << !cm.holds(f) << ", entails: " << e << "\n";
  Formula g = parse("[r1]p1 & <r1>~p1"); // throws ParseError: e.line(), e.column(), e.what()
  std::string t = to_string(g);
  std::cout << "parsed: " << t << "\n";
  try {
    parse("begin\n  p1 &\n  ) end");
  } catch (const ParseError& err) {
    std::cout << "parse error at " << err.line() << ":" << err.column() << ": " << err.what() << "\n";
  }
  return 0;
}

#pragma once
// Tarvel: satisfiability in the modal logic S5, as a library.
//
// This header is the whole interface; read it top to bottom. A program
// builds formulas (with the functions below or with `parse`), adds them to a
// `Solver` and asks `check`. Everything else (the normal form, the world
// bound, the witness worlds, the SAT solver) stays inside the library.
//
//   #include <tarvel/tarvel.hpp>
//   tarvel::Formula p = tarvel::atom(1);
//   tarvel::Solver s;
//   s.add(tarvel::box(p) && tarvel::diamond(!p));
//   if (s.check() == tarvel::Result::Unsat) ...
//
// Semantics. S5 has one accessibility relation that relates every world to
// every world, so `box(f)` holds in a world when `f` holds in every world
// and `diamond(f)` when `f` holds in some world. A model is a non-empty list
// of worlds, each a truth assignment; world 0 is the actual world, where the
// added formulas (and the assumptions of a check) must hold.
//
// Threads. Formulas are immutable values and may be shared between threads
// freely. A `Solver` is used by one thread at a time, except `interrupt`,
// which any thread may call. Independent solvers run in parallel.
//
// Errors. Calls made in the wrong state (a `model` with no model, a `pop`
// with no scope open) throw `std::logic_error`; a malformed text throws
// `ParseError`; running out of memory throws `std::bad_alloc`. The library
// never prints and never ends the process.
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvel {

// ---------------------------------------------------------------- formulas

// An immutable formula, cheap to copy (copies share their nodes). Equality
// and hashing are by structure. Nesting depth is not limited by the stack:
// every operation on formulas is iterative.
class Formula {
 public:
  enum class Kind { True, False, Atom, Not, And, Or, Implies, Iff, Box, Diamond };

  // The constant true.
  Formula();

  Kind kind() const;
  // require: kind() == Kind::Atom. Whether the atom was made from a name
  // (`atom(std::string)`) rather than a number.
  bool isNamed() const;
  // require: an atom made from a number. Its number N (the file's pN).
  int number() const;
  // require: an atom made from a name. Its name.
  const std::string& name() const;
  // The operands: 0 for constants and atoms, 1 for Not, Box and Diamond, 2
  // for the binary connectives. require for operand: i < arity().
  std::size_t arity() const;
  Formula operand(std::size_t i) const;

  bool operator==(const Formula& other) const;
  bool operator!=(const Formula& other) const { return !(*this == other); }
  std::size_t hash() const;

  struct Node;  // internal

 private:
  explicit Formula(std::shared_ptr<const Node> node);
  friend struct FormulaAccess;
  std::shared_ptr<const Node> node;
};

// The atom pN of the file language. require: n >= 0.
Formula atom(int n);
// A named atom. Named atoms are kept apart from numbered ones: atom("3")
// and atom(3) are different atoms. The file language has only pN and vN:
// `parse` reads vN as atom("vN"). require: name is not empty.
Formula atom(const std::string& name);
Formula top();
Formula bottom();
Formula operator!(const Formula& f);
Formula operator&&(const Formula& a, const Formula& b);
Formula operator||(const Formula& a, const Formula& b);
Formula implies(const Formula& a, const Formula& b);
Formula iff(const Formula& a, const Formula& b);
Formula box(const Formula& f);
Formula diamond(const Formula& f);

// A malformed formula text: where, and the message the command line prints
// for it (what()).
class ParseError : public std::runtime_error {
 public:
  ParseError(int line, int column, const std::string& message);
  int line() const { return line_; }      // 1-based; 0 when the text could not be read at all
  int column() const { return column_; }  // 1-based, of the offending token
 private:
  int line_, column_;
};

// Reads one formula in the file language, with or without the enclosing
// `begin` ... `end`: atoms pN and vN, `true`, `false`, `~`, `&`, `|`, `->`,
// `<->`, `[r1]`, `<r1>`, parentheses, `//` comments. An operand left empty
// reads as false, as in the file language.
// ensure: the formula; throws ParseError when the text is malformed.
Formula parse(const std::string& text);

// The formula in the file language, every binary connective parenthesised.
// `parse` reads it back to an equal formula when its named atoms are all
// of the form vN.
std::string to_string(const Formula& f);
std::ostream& operator<<(std::ostream& out, const Formula& f);

// ------------------------------------------------------------------ models

// An S5 model: worlds 0 .. worldCount() - 1, world 0 the actual one. It
// assigns every atom the solver has seen; any other atom is false in every
// world. A Model is a value, independent of the solver it came from.
class Model {
 public:
  // A model of no worlds (what `valid` leaves when there is no countermodel).
  Model();

  int worldCount() const;
  // require: `a` is an atom, 0 <= world < worldCount().
  bool value(const Formula& a, int world) const;
  // require: 0 <= world < worldCount(). Whether `f` holds in that world.
  bool holds(const Formula& f, int world = 0) const;
  // require: 0 <= world < worldCount(). The atoms true there, numbered atoms
  // first by number, then named ones by name.
  std::vector<Formula> trueAtoms(int world) const;
  // The atoms the model assigns, in the same order.
  std::vector<Formula> atoms() const;

  struct Data;  // internal

 private:
  explicit Model(std::shared_ptr<const Data> data);
  friend struct ModelAccess;
  std::shared_ptr<const Data> data;
};

// ------------------------------------------------------------------ solver

enum class Result { Sat, Unsat, Unknown };

// The searches of `fewestWorlds`: upwards from one world, downwards from the
// worlds of a first model, by halving, or by an external MaxSAT solver.
enum class Search { Ascending, Descending, Halving, MaxSat };

struct Statistics {
  long long checks = 0;          // checks answered since the solver was made
  long long rounds = 0;          // SAT solves of those checks
  int worldsActivated = 0;       // witness worlds encoded so far, world 0 not counted
  double solveSeconds = 0.0;     // wall-clock seconds spent in checks and searches
};

// One incremental S5 solver. Formulas added stay until the `pop` of the
// scope they were added in; between checks nothing already encoded is built
// again.
class Solver {
 public:
  Solver();
  ~Solver();
  Solver(Solver&&) noexcept;
  Solver& operator=(Solver&&) noexcept;
  Solver(const Solver&) = delete;
  Solver& operator=(const Solver&) = delete;

  // The formula must hold in the actual world of every model from now on
  // (until the pop of the current scope). Any number of calls, before and
  // between checks.
  void add(const Formula& f);

  // Whether some S5 model makes everything added hold in world 0 (and the
  // assumptions too, for this check only). Unknown: stopped by `interrupt`
  // or the time limit; the solver stays usable.
  Result check();
  Result check(const std::vector<Formula>& assumptions);

  // require: the last check, or fewestWorlds, found a model. ensure: that
  // model (after fewestWorlds: one with exactly the fewest worlds).
  Model model() const;

  // require: the last check answered Unsat. ensure: a subset of that check's
  // assumptions that is unsatisfiable together with what was added (empty
  // when the added formulas alone are unsatisfiable). With minimal, no
  // assumption can be dropped from it; that costs one check per assumption
  // in the first core.
  std::vector<Formula> core(bool minimal = false);

  // The fewest worlds of any model of what was added (no assumptions): 0
  // when there is none, -1 when stopped by `interrupt` or the time limit.
  // After a positive answer `model()` has exactly that many worlds.
  // Search::MaxSat runs the MaxSAT script (see setMaxSatScript) on an
  // instance in a temporary file of its own.
  int fewestWorlds(Search search = Search::Ascending);

  // Scopes: what is added after a push is gone after the matching pop.
  // require for pop: more pushes than pops so far.
  void push();
  void pop();
  int scopes() const;

  // Each later check (and each fewestWorlds) stops after this many seconds
  // of wall-clock time and answers Unknown (-1). 0 or less: no limit.
  void setTimeLimit(double seconds);
  // Stops the check or search running now, which answers Unknown (-1);
  // no effect when none is running. Safe from any thread.
  void interrupt();
  // Called now and then during checks from the checking thread; a true
  // answer stops the check, which answers Unknown. For hosts with their own
  // notion of interruption (a signal flag, a UI button). Empty: none.
  void setStopPoll(std::function<bool()> poll);

  // The MaxSAT script of Search::MaxSat: a program that takes a DIMACS wcnf
  // file and prints "s OPTIMUM FOUND" and "o <cost>" (or "s UNSATISFIABLE").
  // By default the one installed with the library, else `starexec_run_A` in
  // the PATH.
  void setMaxSatScript(const std::string& path);

  Statistics statistics() const;

  struct State;  // internal

 private:
  std::unique_ptr<State> state;
};

// ------------------------------------------------------------- shortcuts

// Whether some model makes f hold in its actual world; the model when asked.
bool satisfiable(const Formula& f, Model* model = nullptr);
// Whether f holds in every world of every model. When it does not and
// `countermodel` is given, a model whose world 0 falsifies f.
bool valid(const Formula& f, Model* countermodel = nullptr);
// Local consequence (global false): in every world of every model where all
// premises hold, the conclusion holds. Global consequence (global true):
// in every model where the premises hold in every world, the conclusion
// holds in every world.
bool entails(const std::vector<Formula>& premises, const Formula& conclusion, bool global = false);

}  // namespace tarvel

namespace std {
template <>
struct hash<tarvel::Formula> {
  size_t operator()(const tarvel::Formula& f) const { return f.hash(); }
};
}  // namespace std

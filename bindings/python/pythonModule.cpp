// The Python module `tarvel`: formulas with operators, the incremental
// solver, models and the shortcuts, over the C++ library.
//
// Every precondition of the library is checked here first, so that a wrong
// call from Python is an exception, never undefined behaviour. Checks run
// with the GIL released; Ctrl-C reaches them through the solver's stop poll.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>

#include <tarvel/tarvel.hpp>

#include <atomic>
#include <cctype>
#include <chrono>
#include <climits>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace py = pybind11;
using tarvel::Formula;
using tarvel::Model;
using tarvel::Result;

namespace {

using Kind = Formula::Kind;
using Clock = std::chrono::steady_clock;

// ------------------------------------------------------------ formulas

const char* kindName(Kind kind) {
  switch (kind) {
    case Kind::True: return "true";
    case Kind::False: return "false";
    case Kind::Atom: return "atom";
    case Kind::Not: return "not";
    case Kind::And: return "and";
    case Kind::Or: return "or";
    case Kind::Implies: return "implies";
    case Kind::Iff: return "iff";
    case Kind::Box: return "box";
    case Kind::Diamond: return "diamond";
  }
  return "?";
}

const char* typeName(py::handle h) { return Py_TYPE(h.ptr())->tp_name; }

Formula toFormula(py::handle h, const char* where) {
  if (!py::isinstance<Formula>(h))
    throw py::type_error(std::string(where) + " expects a tarvel.Formula, got " + typeName(h));
  return h.cast<Formula>();
}

// A list, tuple or any other iterable of formulas; one formula alone or a
// string is refused, as both are easy to pass by mistake.
std::vector<Formula> toFormulas(py::handle items, const char* where) {
  if (py::isinstance<Formula>(items) || py::isinstance<py::str>(items))
    throw py::type_error(std::string(where) + " expects an iterable of tarvel.Formula, got " +
                         typeName(items));
  if (!py::isinstance<py::iterable>(items))
    throw py::type_error(std::string(where) + " expects an iterable of tarvel.Formula, got " +
                         typeName(items));
  std::vector<Formula> formulas;
  for (py::handle item : items) formulas.push_back(toFormula(item, where));
  return formulas;
}

Formula makeAtom(py::object key) {
  if (py::isinstance<py::str>(key)) {
    std::string name = key.cast<std::string>();
    if (name.empty()) throw py::value_error("atom name must not be empty");
    return tarvel::atom(name);
  }
  if (PyBool_Check(key.ptr()) || !PyIndex_Check(key.ptr()))
    throw py::type_error(std::string("atom expects an int or a str, got ") + typeName(key));
  long long n = py::reinterpret_steal<py::int_>(PyNumber_Index(key.ptr())).cast<long long>();
  if (n < 0 || n > INT_MAX) throw py::value_error("atom number must be in 0 .. 2**31-1");
  return tarvel::atom(static_cast<int>(n));
}

bool isIdentifier(const std::string& s) {
  if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
  for (char c : s)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

// A named atom reads bare in a repr unless it could be taken for something
// else (a numbered atom, a constant, or text that is not a name).
std::string atomText(const Formula& a) {
  if (!a.isNamed()) return "p" + std::to_string(a.number());
  const std::string& name = a.name();
  bool looksNumbered = name.size() > 1 && name[0] == 'p' &&
                       name.find_first_not_of("0123456789", 1) == std::string::npos;
  if (isIdentifier(name) && !looksNumbered && name != "true" && name != "false") return name;
  return "atom(" + py::repr(py::str(name)).cast<std::string>() + ")";
}

int precedence(Kind kind) {
  switch (kind) {
    case Kind::Iff: return 1;
    case Kind::Implies: return 2;
    case Kind::Or: return 3;
    case Kind::And: return 4;
    case Kind::Not: case Kind::Box: case Kind::Diamond: return 5;
    default: return 6;
  }
}

// Infix text with only the parentheses precedence needs; a right operand of
// the same connective keeps its parentheses so that the structure shows.
// Iterative, like every walk over a formula: nesting is not bounded.
std::string readableText(const Formula& root) {
  struct Item {
    Formula f;
    const char* text;  // emit this text instead when not null
  };
  std::string out;
  std::vector<Item> todo{{root, nullptr}};
  while (!todo.empty()) {
    Item item = std::move(todo.back());
    todo.pop_back();
    if (item.text) {
      out += item.text;
      continue;
    }
    const Formula& f = item.f;
    Kind kind = f.kind();
    switch (kind) {
      case Kind::True: out += "true"; continue;
      case Kind::False: out += "false"; continue;
      case Kind::Atom: out += atomText(f); continue;
      default: break;
    }
    int own = precedence(kind);
    auto push = [&](const Formula& child, bool tight) {
      int inner = precedence(child.kind());
      bool wrap = inner < own || (inner == own && tight && child.arity() == 2);
      if (wrap) todo.push_back({Formula(), ")"});
      todo.push_back({child, nullptr});
      if (wrap) todo.push_back({Formula(), "("});
    };
    if (f.arity() == 1) {
      push(f.operand(0), false);
      out += kind == Kind::Not ? "~" : kind == Kind::Box ? "[]" : "<>";
      continue;
    }
    const char* op = kind == Kind::And ? " & " : kind == Kind::Or ? " | "
                     : kind == Kind::Implies ? " -> " : " <-> ";
    bool chain = kind == Kind::And || kind == Kind::Or;
    push(f.operand(1), true);
    todo.push_back({Formula(), op});
    push(f.operand(0), !chain);
  }
  return out;
}

py::object atomKey(const Formula& f) {
  if (f.kind() != Kind::Atom) return py::none();
  if (f.isNamed()) return py::str(f.name());
  return py::int_(f.number());
}

// ------------------------------------------------------------ models

int worldIndex(const Model& m, long long w) {
  long long n = m.worldCount();
  if (w < 0) w += n;
  if (w < 0 || w >= n)
    throw py::index_error("world out of range: the model has " + std::to_string(n) + " worlds");
  return static_cast<int>(w);
}

py::frozenset atomSet(const Model& m, int world) {
  py::list atoms;
  for (const Formula& a : m.trueAtoms(world)) atoms.append(py::cast(a));
  return py::frozenset(atoms);
}

py::list atomList(const std::vector<Formula>& atoms) {
  py::list out;
  for (const Formula& a : atoms) out.append(py::cast(a));
  return out;
}

std::string dotQuoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

// One node per world; edges would be the complete relation, so it is said
// once in the graph's label instead of drawn.
std::string modelDot(const Model& m) {
  std::string out =
      "// S5: every world sees every world (itself included), so no edge is drawn.\n"
      "graph model {\n"
      "  label=\"S5 model: every world sees every world\";\n"
      "  labelloc=b;\n"
      "  node [shape=box, style=rounded];\n";
  for (int w = 0; w < m.worldCount(); ++w) {
    std::string atoms;
    for (const Formula& a : m.trueAtoms(w)) atoms += (atoms.empty() ? "" : ", ") + tarvel::to_string(a);
    std::string label = "w" + std::to_string(w) + (w == 0 ? " (actual)" : "") + "\n" +
                        (atoms.empty() ? "no atom true" : atoms);
    out += "  w" + std::to_string(w) + " [label=" + dotQuoted(label) + (w == 0 ? ", peripheries=2" : "") +
           "];\n";
  }
  return out + "}\n";
}

// ------------------------------------------------------------ solving

// The stop poll of a check: the check runs without the GIL, so a pending
// Ctrl-C is only seen when the poll takes the GIL back, at most every 50 ms,
// and asks Python to run its signal handlers. An exception they raise stays
// set in the thread state until the check returns and it is raised.
struct SignalPoll {
  Clock::time_point last;
  bool raised = false;

  void arm() {
    raised = false;
    last = Clock::now();
  }
  bool operator()() {
    if (raised) return true;
    Clock::time_point now = Clock::now();
    if (now - last < std::chrono::milliseconds(50)) return false;
    last = now;
    PyGILState_STATE gil = PyGILState_Ensure();
    raised = PyErr_CheckSignals() != 0;
    PyGILState_Release(gil);
    return raised;
  }
};

// Runs a call into the library with the GIL released; afterwards raises what
// a signal handler raised meanwhile (KeyboardInterrupt for Ctrl-C).
template <class Call>
auto releasingGil(SignalPoll& poll, Call call) {
  poll.arm();
  auto answer = [&] {
    py::gil_scoped_release nogil;
    return call();
  }();
  if (poll.raised) throw py::error_already_set();
  return answer;
}

enum class Found { Nothing, Model, Core };

// A tarvel::Solver with what the library asks of its caller enforced: one
// thread at a time (any other thread gets an exception, not a race), a
// model or core only after the check that produced it.
struct PySolver {
  tarvel::Solver solver;
  SignalPoll poll;
  std::atomic<bool> busy{false};
  Found found = Found::Nothing;
  double timeLimit = 0.0;

  PySolver() {
    solver.setStopPoll([this] { return poll(); });
  }
};

class Busy {
 public:
  explicit Busy(PySolver& s) : s(s) {
    if (s.busy.exchange(true)) throw std::runtime_error("the Solver is in use by another thread");
  }
  ~Busy() { s.busy = false; }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  PySolver& s;
};

tarvel::Search toSearch(const std::string& name) {
  if (name == "ascending") return tarvel::Search::Ascending;
  if (name == "descending") return tarvel::Search::Descending;
  if (name == "halving") return tarvel::Search::Halving;
  if (name == "maxsat") return tarvel::Search::MaxSat;
  throw py::value_error("search must be 'ascending', 'descending', 'halving' or 'maxsat', not '" + name + "'");
}

Result checkSolver(PySolver& s, const std::vector<Formula>& assumptions) {
  Busy busy(s);
  s.found = Found::Nothing;
  Result r = releasingGil(s.poll, [&] { return s.solver.check(assumptions); });
  s.found = r == Result::Sat ? Found::Model : r == Result::Unsat ? Found::Core : Found::Nothing;
  return r;
}

// One check of a fresh solver, for the shortcuts. With no time limit, only
// an interruption answers Unknown, and that has raised by then.
Result checkAlone(const std::vector<Formula>& formulas, Model* model) {
  PySolver s;
  for (const Formula& f : formulas) s.solver.add(f);
  Result r = checkSolver(s, {});
  if (r == Result::Unknown) throw std::runtime_error("the check stopped without an answer");
  if (r == Result::Sat && model) *model = s.solver.model();
  return r;
}

class Scope {
 public:
  explicit Scope(py::object solver) : solver(std::move(solver)) {}
  py::object enter() {
    PySolver& s = solver.cast<PySolver&>();
    Busy busy(s);
    s.solver.push();
    return solver;
  }
  void leave(const py::args&) {
    PySolver& s = solver.cast<PySolver&>();
    Busy busy(s);
    if (s.solver.scopes() == 0) throw std::runtime_error("the scope was already popped");
    s.solver.pop();
  }

 private:
  py::object solver;
};

// The Python class tarvel.ParseError, kept for the exception translator,
// which is a plain function and cannot capture it. Never freed: the
// translator may run until the interpreter is gone.
PyObject* parseErrorType = nullptr;

const char* parseErrorSource = R"(
class ParseError(ValueError):
    """Malformed formula text. The message is the one the command line
    prints; .line and .column (1-based) locate the offending token, line 0
    when the text could not be read at all."""

    def __init__(self, message, line=0, column=0):
        super().__init__(message)
        self.line = line
        self.column = column
)";

}  // namespace

PYBIND11_MODULE(tarvel, m) {
  m.doc() =
      "Satisfiability in the modal logic S5.\n\n"
      "Build formulas with atom(), the operators ~ & | and the functions\n"
      "implies, iff, box, diamond (or parse the file language), then ask a\n"
      "Solver, or one of the shortcuts satisfiable, valid, countermodel and\n"
      "entails. In S5 every world sees every world: box(f) holds when f holds\n"
      "in every world, diamond(f) when it holds in some world.";

  py::exec(parseErrorSource, m.attr("__dict__"));
  parseErrorType = m.attr("ParseError").ptr();
  Py_INCREF(parseErrorType);
  m.attr("ParseError").attr("__module__") = "tarvel";
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const tarvel::ParseError& e) {
      py::object error = py::handle(parseErrorType)(e.what(), e.line(), e.column());
      PyErr_SetObject(parseErrorType, error.ptr());
    }
  });

  // ---------------------------------------------------------- Formula
  py::class_<Formula>(m, "Formula",
                      "An immutable S5 formula. Combine with ~ (not), & (and), | (or);\n"
                      "equality and hashing are by structure; str() gives the file language,\n"
                      "which parse() reads back.")
      .def("__invert__", [](const Formula& a) { return !a; }, "Negation: ~f.")
      .def("__and__", [](const Formula& a, const Formula& b) { return a && b; }, py::is_operator(),
           "Conjunction: f & g.")
      .def("__or__", [](const Formula& a, const Formula& b) { return a || b; }, py::is_operator(),
           "Disjunction: f | g.")
      .def("__eq__", [](const Formula& a, const Formula& b) { return a == b; }, py::is_operator(),
           "Structural equality; a bool.")
      .def("__ne__", [](const Formula& a, const Formula& b) { return a != b; }, py::is_operator(),
           "Structural inequality; a bool.")
      .def("__hash__", [](const Formula& a) { return static_cast<py::ssize_t>(a.hash()); })
      .def("__bool__",
           [](const Formula&) -> bool {
             throw py::type_error("a Formula has no truth value: combine formulas with & | ~, not and/or/not");
           },
           "Refused: `and`, `or` and `not` would silently drop a formula.")
      .def("__str__", [](const Formula& f) { return tarvel::to_string(f); },
           "The formula in the file language, every binary connective parenthesised.")
      .def("__repr__", [](const Formula& f) { return "<Formula " + readableText(f) + ">"; })
      .def("__copy__", [](const Formula& f) { return f; })
      .def("__deepcopy__", [](const Formula& f, py::handle) { return f; })
      .def_property_readonly("kind", [](const Formula& f) { return kindName(f.kind()); },
                             "'true', 'false', 'atom', 'not', 'and', 'or', 'implies', 'iff', 'box' or "
                             "'diamond'.")
      .def_property_readonly(
          "operands",
          [](const Formula& f) {
            py::tuple out(f.arity());
            for (std::size_t i = 0; i < f.arity(); ++i) out[i] = py::cast(f.operand(i));
            return out;
          },
          "The operands as a tuple: none for constants and atoms, one for not, box and diamond, "
          "two otherwise.")
      .def_property_readonly("atom_id", &atomKey,
                             "For an atom, what it was made from: the int N of atom(N) or the str of "
                             "atom(name); None for any other formula.");

  m.def("atom", &makeAtom, py::arg("key"),
        "The atom pN for an int N >= 0, or a named atom for a non-empty str.\n"
        "atom('3') and atom(3) are different atoms; parse() reads vN as atom('vN').");
  m.attr("TRUE") = tarvel::top();
  m.attr("FALSE") = tarvel::bottom();
  m.def("implies", [](const Formula& a, const Formula& b) { return tarvel::implies(a, b); },
        py::arg("a"), py::arg("b"), "a -> b.");
  m.def("iff", [](const Formula& a, const Formula& b) { return tarvel::iff(a, b); },
        py::arg("a"), py::arg("b"), "a <-> b.");
  m.def("box", [](const Formula& f) { return tarvel::box(f); }, py::arg("f"),
        "Box f: f holds in every world.");
  m.def("diamond", [](const Formula& f) { return tarvel::diamond(f); }, py::arg("f"),
        "Diamond f: f holds in some world.");
  m.def("parse", [](const std::string& text) { return tarvel::parse(text); }, py::arg("text"),
        py::call_guard<py::gil_scoped_release>(),
        "One formula in the file language, with or without begin ... end.\n"
        "Raises ParseError (a ValueError with .line and .column) when malformed.");

  // ---------------------------------------------------------- Model
  py::class_<Model>(m, "Model",
                    "An S5 model: worlds 0 .. len(model)-1, world 0 the actual one.\n"
                    "model[w] is the frozenset of atoms true in world w; atoms the solver\n"
                    "never saw are false everywhere. Independent of its solver.")
      .def("__len__", &Model::worldCount, "The number of worlds.")
      .def("__getitem__", [](const Model& md, long long w) { return atomSet(md, worldIndex(md, w)); },
           "The frozenset of atoms true in world w (negative w counts from the end).")
      .def("__iter__",
           [](const Model& md) {
             py::list worlds;
             for (int w = 0; w < md.worldCount(); ++w) worlds.append(atomSet(md, w));
             return py::iter(worlds);
           },
           "The worlds in order, each as its frozenset of true atoms.")
      .def("holds",
           [](const Model& md, const Formula& f, long long world) { return md.holds(f, worldIndex(md, world)); },
           py::arg("f"), py::arg("world") = 0, "Whether formula f holds in the world (default 0, the actual one).")
      .def("value",
           [](const Model& md, const Formula& f, long long world) {
             if (f.kind() != Kind::Atom) throw py::value_error("value expects an atom; use holds for formulas");
             return md.value(f, worldIndex(md, world));
           },
           py::arg("atom"), py::arg("world") = 0, "The truth value of an atom in the world (default 0).")
      .def("true_atoms", [](const Model& md, long long w) { return atomList(md.trueAtoms(worldIndex(md, w))); },
           py::arg("world"),
           "The atoms true in the world as a list: numbered atoms by number, then named ones by name.")
      .def("atoms", [](const Model& md) { return atomList(md.atoms()); },
           "Every atom the model assigns, in the order of true_atoms.")
      .def("to_dot", &modelDot,
           "Graphviz text: one node per world labelled with its true atoms, the actual\n"
           "world w0 drawn double; the accessibility (every world sees every world) is\n"
           "stated once in the graph's label instead of drawn.")
      .def("__repr__", [](const Model& md) { return "<Model of " + std::to_string(md.worldCount()) + " worlds>"; });

  // ---------------------------------------------------------- Solver
  py::enum_<Result>(m, "Result", "The answer of a check: SAT, UNSAT or UNKNOWN (stopped).")
      .value("SAT", Result::Sat, "Some model satisfies the check.")
      .value("UNSAT", Result::Unsat, "No model does.")
      .value("UNKNOWN", Result::Unknown, "Stopped by interrupt() or the time limit.")
      .export_values();

  py::class_<Scope>(m, "Scope", "The context manager of Solver.scope(): push on entry, pop on exit.")
      .def("__enter__", &Scope::enter, "Opens the scope (push); returns the solver.")
      .def("__exit__", &Scope::leave, "Closes the scope (pop), even when the block raised.");

  py::class_<PySolver>(m, "Solver",
                       "An incremental S5 solver. What is added must hold in the actual world of\n"
                       "every model until the pop of the scope it was added in.\n"
                       "Used by one thread at a time (another gets RuntimeError); interrupt() is\n"
                       "safe from any thread. Checks release the GIL; Ctrl-C stops them with\n"
                       "KeyboardInterrupt and leaves the solver usable.")
      .def(py::init<>())
      .def("add",
           [](PySolver& s, const py::args& formulas) {
             std::vector<Formula> fs;
             for (py::handle f : formulas) fs.push_back(toFormula(f, "Solver.add"));
             Busy busy(s);
             // Adding runs the normal form, as much work as many checks.
             py::gil_scoped_release nogil;
             for (const Formula& f : fs) s.solver.add(f);
           },
           "add(*formulas): each must hold in the actual world from now on.")
      .def("check",
           [](PySolver& s, py::object assumptions) { return checkSolver(s, toFormulas(assumptions, "check")); },
           py::arg("assumptions") = py::tuple(),
           "SAT when some model makes everything added, and the assumptions (for this\n"
           "check only), hold in world 0; UNSAT when none does; UNKNOWN when stopped by\n"
           "interrupt() or the time limit.")
      .def("model",
           [](PySolver& s) {
             Busy busy(s);
             if (s.found != Found::Model) throw std::runtime_error("no model: the last check did not answer SAT");
             return s.solver.model();
           },
           "The model of the last check that answered SAT (after fewest_worlds: one with\n"
           "exactly the fewest worlds). RuntimeError when there is none.")
      .def("core",
           [](PySolver& s, bool minimal) {
             Busy busy(s);
             if (s.found != Found::Core) throw std::runtime_error("no core: the last check did not answer UNSAT");
             std::vector<Formula> core = releasingGil(s.poll, [&] { return s.solver.core(minimal); });
             return atomList(core);
           },
           py::arg("minimal") = false,
           "After a check that answered UNSAT: a list of its assumptions that is\n"
           "unsatisfiable with what was added (empty when the added formulas alone are).\n"
           "With minimal=True no assumption can be dropped (one check per assumption).")
      .def("fewest_worlds",
           [](PySolver& s, const std::string& search) -> py::object {
             tarvel::Search how = toSearch(search);
             Busy busy(s);
             s.found = Found::Nothing;
             int k = releasingGil(s.poll, [&] { return s.solver.fewestWorlds(how); });
             if (k > 0) s.found = Found::Model;
             if (k < 0) return py::none();
             return py::int_(k);
           },
           py::arg("search") = "ascending",
           "The fewest worlds of any model of what was added (assumptions play no part):\n"
           "0 when there is no model, None when stopped. After a positive answer model()\n"
           "has exactly that many worlds. search: 'ascending', 'descending', 'halving' or\n"
           "'maxsat' (runs the MaxSAT script, see set_maxsat_script).")
      .def("push",
           [](PySolver& s) {
             Busy busy(s);
             s.solver.push();
           },
           "Opens a scope: what is added after it is gone after the matching pop().")
      .def("pop",
           [](PySolver& s) {
             Busy busy(s);
             if (s.solver.scopes() == 0) throw std::runtime_error("pop without a matching push");
             s.solver.pop();
           },
           "Closes the innermost scope. RuntimeError when none is open.")
      .def("scope", [](py::object self) { return Scope(self); },
           "A context manager: `with solver.scope():` pushes on entry and pops on exit.")
      .def_property_readonly("scopes", [](PySolver& s) { return s.solver.scopes(); },
                             "The number of scopes open.")
      .def_property(
          "time_limit", [](PySolver& s) { return s.timeLimit; },
          [](PySolver& s, py::object seconds) {
            if (!seconds.is_none() && !PyFloat_Check(seconds.ptr()) && !PyLong_Check(seconds.ptr()))
              throw py::type_error(std::string("time_limit is a number of seconds or None, got ") +
                                   typeName(seconds));
            double limit = seconds.is_none() ? 0.0 : seconds.cast<double>();
            Busy busy(s);
            s.solver.setTimeLimit(limit);
            s.timeLimit = limit > 0 ? limit : 0.0;
          },
          "Seconds of wall-clock time per later check (and fewest_worlds), after which it\n"
          "answers UNKNOWN (None). 0 or None: no limit.")
      // Without the GIL: the checking thread may be waiting for it in its
      // poll while the library holds whatever interrupt needs.
      .def("interrupt", [](PySolver& s) { s.solver.interrupt(); }, py::call_guard<py::gil_scoped_release>(),
           "Stops the check running now in another thread (it answers UNKNOWN); no\n"
           "effect when none runs.")
      .def("set_maxsat_script",
           [](PySolver& s, const std::string& path) {
             Busy busy(s);
             s.solver.setMaxSatScript(path);
           },
           py::arg("path"),
           "The program fewest_worlds('maxsat') runs on a DIMACS wcnf file; it prints\n"
           "'s OPTIMUM FOUND' and 'o <cost>'.")
      .def("statistics",
           [](PySolver& s) {
             Busy busy(s);
             tarvel::Statistics st = s.solver.statistics();
             py::dict out;
             out["checks"] = st.checks;
             out["rounds"] = st.rounds;
             out["worlds_activated"] = st.worldsActivated;
             out["solve_seconds"] = st.solveSeconds;
             return out;
           },
           "A dict: checks (answered so far), rounds (SAT solves), worlds_activated\n"
           "(witness worlds encoded, world 0 not counted), solve_seconds (wall clock).")
      .def("__repr__", [](PySolver& s) { return "<Solver, " + std::to_string(s.solver.scopes()) + " scopes open>"; });

  // ---------------------------------------------------------- shortcuts
  m.def("satisfiable",
        [](const Formula& f) { return checkAlone({f}, nullptr) == Result::Sat; },
        py::arg("f"), "Whether some model makes f hold in its actual world.");
  m.def("valid",
        [](const Formula& f) { return checkAlone({!f}, nullptr) == Result::Unsat; },
        py::arg("f"), "Whether f holds in every world of every model.");
  m.def("countermodel",
        [](const Formula& f) -> py::object {
          Model model;
          if (checkAlone({!f}, &model) == Result::Unsat) return py::none();
          return py::cast(model);
        },
        py::arg("f"), "A model whose actual world falsifies f, or None when f is valid.");
  m.def("entails",
        [](py::object premises, const Formula& c, bool global) {
          std::vector<Formula> fs = toFormulas(premises, "entails");
          // A countermodel: the premises hold in the actual world (globally:
          // in every world, which in S5 is their Box) and the conclusion
          // fails there (globally: somewhere, its negation's Diamond).
          if (global)
            for (Formula& f : fs) f = tarvel::box(f);
          fs.push_back(global ? tarvel::diamond(!c) : !c);
          return checkAlone(fs, nullptr) == Result::Unsat;
        },
        py::arg("premises"), py::arg("conclusion"), py::arg("global_") = false,
        "Local consequence (default): every world where all premises hold has the\n"
        "conclusion. global_=True: every model whose worlds all have the premises has\n"
        "the conclusion in every world.");
}

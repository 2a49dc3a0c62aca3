// The web module's one entry point: a formula text in, the answer out as
// JSON, so the page's worker (and the node test) needs no binding library.
#include <tarvel/tarvel.hpp>

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#else
#define EMSCRIPTEN_KEEPALIVE  // built natively by bench/web-lwb.mjs, for comparison
#endif

#include <cstdio>
#include <exception>
#include <string>

namespace {

enum class Task { Decide = 0, FewestWorlds = 1, Valid = 2 };

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string worldsJson(const tarvel::Model& model) {
  std::string out = "[";
  for (int w = 0; w < model.worldCount(); ++w) {
    out += w ? ",[" : "[";
    bool first = true;
    for (const tarvel::Formula& a : model.trueAtoms(w)) {
      out += first ? "" : ",";
      out += quoted(tarvel::to_string(a));
      first = false;
    }
    out += "]";
  }
  return out + "]";
}

const char* resultWord(tarvel::Result r) {
  switch (r) {
    case tarvel::Result::Sat: return "sat";
    case tarvel::Result::Unsat: return "unsat";
    case tarvel::Result::Unknown: return "unknown";
  }
  return "unknown";
}

// Valid asks whether the negation is unsatisfiable, so that the time limit
// applies and a model of the negation is the countermodel.
std::string solve(const std::string& text, Task task, double seconds) {
  tarvel::Formula f = tarvel::parse(text);
  tarvel::Solver solver;
  solver.setTimeLimit(seconds);
  solver.add(task == Task::Valid ? !f : f);
  tarvel::Result result;
  if (task == Task::FewestWorlds) {
    int fewest = solver.fewestWorlds();
    result = fewest > 0 ? tarvel::Result::Sat : fewest == 0 ? tarvel::Result::Unsat : tarvel::Result::Unknown;
  } else {
    result = solver.check();
  }
  std::string out = std::string("{\"result\":\"") + resultWord(result) + "\"";
  if (result == tarvel::Result::Sat) out += ",\"worlds\":" + worldsJson(solver.model());
  return out + "}";
}

}  // namespace

// task: 0 decide, 1 fewest worlds, 2 validity; seconds <= 0: no time limit.
// Answers {"result":"sat"|"unsat"|"unknown","worlds":[[atom,...],...]}
// (worlds only with a model, world 0 first), or
// {"result":"error","line":L,"column":C,"message":M}.
// The text stays valid until the next call: the JavaScript side copies it
// out at once, and a static buffer saves it a call to free it.
extern "C" EMSCRIPTEN_KEEPALIVE const char* tarvel_solve(const char* text, int task, double seconds) {
  static std::string answer;
  try {
    answer = solve(text, static_cast<Task>(task), seconds);
  } catch (const tarvel::ParseError& e) {
    answer = "{\"result\":\"error\",\"line\":" + std::to_string(e.line()) + ",\"column\":" +
             std::to_string(e.column()) + ",\"message\":" + quoted(e.what()) + "}";
  } catch (const std::exception& e) {
    answer = "{\"result\":\"error\",\"line\":0,\"column\":0,\"message\":" + quoted(e.what()) + "}";
  }
  return answer.c_str();
}

#pragma once
// An S5 evaluator for tests, independent of the clause set and the world
// bound: formulas as small trees, evaluated over sets of worlds with
// universal access, and a brute-force search for models.
#include <algorithm>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

struct OFormula {
  enum Op { ATOM, TRUE, FALSE, NOT, AND, OR, IMPLY, IFF, BOX, DIA } op = ATOM;
  int atom = 0;
  std::vector<OFormula> args;
};

// Any operator anywhere, <-> under <-> included: equal modal literals share
// one atom, so the copies that <-> makes no longer multiply the worlds.
inline OFormula randomFormula(std::mt19937& rng, int atoms, int depth) {
  OFormula f;
  int pick = depth <= 0 ? 0 : static_cast<int>(rng() % 10);
  if (pick == 0) {
    f.op = rng() % 12 == 0 ? (rng() % 2 ? OFormula::TRUE : OFormula::FALSE) : OFormula::ATOM;
    f.atom = 1 + static_cast<int>(rng() % atoms);
    return f;
  }
  static const OFormula::Op ops[] = {OFormula::NOT, OFormula::AND, OFormula::AND, OFormula::OR, OFormula::OR,
                                     OFormula::IMPLY, OFormula::IFF, OFormula::BOX, OFormula::DIA};
  f.op = ops[pick - 1];
  int arity = (f.op == OFormula::NOT || f.op == OFormula::BOX || f.op == OFormula::DIA) ? 1 : 2;
  for (int i = 0; i < arity; i++) f.args.push_back(randomFormula(rng, atoms, depth - 1));
  return f;
}

// Formulas far from clause form, large enough for the normal form to name
// subformulas instead of copying them: chains of <-> and exclusive-or and
// disjunctions of conjunctions, under [r1], <r1> or neither, combined. The
// operands are literals, sometimes modal, over few atoms, so subformulas repeat.
inline OFormula farFromClauseForm(std::mt19937& rng, int atoms) {
  auto node = [](OFormula::Op op, std::vector<OFormula> args) { return OFormula{op, 0, std::move(args)}; };
  auto literal = [&] {
    OFormula l{OFormula::ATOM, 1 + static_cast<int>(rng() % atoms), {}};
    if (rng() % 2) l = node(OFormula::NOT, {l});
    if (rng() % 6 == 0) l = node(rng() % 2 ? OFormula::BOX : OFormula::DIA, {l});
    return l;
  };
  auto modal = [&](OFormula f) {
    int pick = static_cast<int>(rng() % 3);
    return pick == 0 ? f : node(pick == 1 ? OFormula::BOX : OFormula::DIA, {f});
  };
  auto chain = [&](int links) {
    OFormula f = literal();
    for (int i = 0; i < links; i++) {
      f = node(OFormula::IFF, {rng() % 5 ? literal() : node(OFormula::AND, {literal(), literal()}), f});
      if (rng() % 2) f = node(OFormula::NOT, {f});
    }
    return modal(f);
  };
  auto dnf = [&](int terms) {
    OFormula f = node(OFormula::AND, {literal(), literal()});
    for (int i = 1; i < terms; i++) {
      OFormula term = node(OFormula::AND, {literal(), literal()});
      if (rng() % 2) term = node(OFormula::AND, {term, literal()});
      f = node(OFormula::OR, {f, term});
    }
    return modal(f);
  };
  OFormula f;
  switch (rng() % 4) {
    case 0: f = chain(13 + static_cast<int>(rng() % 6)); break;
    case 1: f = dnf(8 + static_cast<int>(rng() % 6)); break;
    case 2: f = node(rng() % 2 ? OFormula::AND : OFormula::OR, {chain(14), dnf(9)}); break;
    default: f = node(OFormula::IFF, {dnf(8), modal(chain(13))}); break;
  }
  // Constraints in other worlds make about half of them unsatisfiable.
  if (rng() % 3) f = node(OFormula::AND, {f, node(OFormula::BOX, {chain(13)})});
  if (rng() % 3) f = node(OFormula::AND, {f, node(OFormula::DIA, {node(OFormula::AND, {literal(), literal()})})});
  return f;
}

inline std::string formulaFile(const OFormula& f) {
  std::string s;
  switch (f.op) {
    case OFormula::ATOM: return "p" + std::to_string(f.atom);
    case OFormula::TRUE: return "true";
    case OFormula::FALSE: return "false";
    case OFormula::NOT: return "~(" + formulaFile(f.args[0]) + ")";
    case OFormula::BOX: return "[r1](" + formulaFile(f.args[0]) + ")";
    case OFormula::DIA: return "<r1>(" + formulaFile(f.args[0]) + ")";
    default: break;
  }
  const char* op = f.op == OFormula::AND ? " & " : f.op == OFormula::OR ? " | " : f.op == OFormula::IMPLY ? " -> " : " <-> ";
  return "(" + formulaFile(f.args[0]) + op + formulaFile(f.args[1]) + ")";
}

inline int diamondCount(const OFormula& f) {
  int n = f.op == OFormula::DIA || f.op == OFormula::BOX ? 1 : 0;  // a negated Box is a Diamond
  for (const auto& a : f.args) n += diamondCount(a);
  return n;
}

inline int largestAtom(const OFormula& f) {
  int largest = f.op == OFormula::ATOM ? f.atom : 0;
  for (const OFormula& a : f.args) largest = std::max(largest, largestAtom(a));
  return largest;
}

// A world is a valuation: bit a-1 is atom a.
using World = uint32_t;

inline bool holds(const OFormula& f, const std::vector<World>& worlds, World w) {
  switch (f.op) {
    case OFormula::ATOM: return (w >> (f.atom - 1)) & 1u;
    case OFormula::TRUE: return true;
    case OFormula::FALSE: return false;
    case OFormula::NOT: return !holds(f.args[0], worlds, w);
    case OFormula::AND: return holds(f.args[0], worlds, w) && holds(f.args[1], worlds, w);
    case OFormula::OR: return holds(f.args[0], worlds, w) || holds(f.args[1], worlds, w);
    case OFormula::IMPLY: return !holds(f.args[0], worlds, w) || holds(f.args[1], worlds, w);
    case OFormula::IFF: return holds(f.args[0], worlds, w) == holds(f.args[1], worlds, w);
    case OFormula::BOX:
      return std::all_of(worlds.begin(), worlds.end(), [&](World v) { return holds(f.args[0], worlds, v); });
    case OFormula::DIA:
      return std::any_of(worlds.begin(), worlds.end(), [&](World v) { return holds(f.args[0], worlds, v); });
  }
  return false;
}

// The fewest distinct worlds of a model, trying up to `bound` worlds; 0 when none.
inline int smallestModel(const OFormula& f, int atoms, int bound) {
  World valuations = World(1) << atoms;
  // More worlds than valuations would only repeat a world.
  if (static_cast<World>(bound) > valuations) bound = static_cast<int>(valuations);
  for (int size = 1; size <= bound; size++) {
    // Worlds in ascending order; the actual world is any one of them.
    std::vector<World> idx(size);
    for (int i = 0; i < size; i++) idx[i] = static_cast<World>(i);
    while (true) {
      for (World w : idx)
        if (holds(f, idx, w)) return size;
      int i = size - 1;
      while (i >= 0 && idx[i] >= valuations - static_cast<World>(size - i)) i--;
      if (i < 0) break;
      idx[i]++;
      for (int j = i + 1; j < size; j++) idx[j] = idx[j - 1] + 1;
    }
  }
  return 0;
}

// The worlds printed after "c ===== S5-model====" (none without that line):
// atoms not listed are false.
inline std::vector<World> parseModel(const std::string& text) {
  std::vector<World> worlds;
  size_t at = text.find("c ===== S5-model====\n");
  std::istringstream in(at == std::string::npos ? "" : text.substr(at + 21));
  for (std::string line; std::getline(in, line) && line.rfind("c ", 0) != 0 && line.rfind("s ", 0) != 0;) {
    World w = 0;
    if (!line.empty() && line.find("any assignment is ok!") == std::string::npos) {
      std::istringstream items(line.substr(line.find(':') + 1));
      for (std::string item; items >> item;) {
        bool neg = item[0] == '-';
        int atom = std::stoi(item.substr(neg ? 2 : 1));
        if (!neg && atom <= 32) w |= World(1) << (atom - 1);
      }
    }
    worlds.push_back(w);
  }
  return worlds;
}

// Models: the user's atoms world by world, and formulas evaluated on them.
#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "api/FormulaNode.h"
#include "api/ModelData.h"

namespace tarvel {

namespace {

bool atomOrder(const Formula& a, const Formula& b) {
  if (a.isNamed() != b.isNamed()) return !a.isNamed();
  return a.isNamed() ? a.name() < b.name() : a.number() < b.number();
}

void requireWorld(const Model::Data& d, int world) {
  if (world < 0 || world >= d.worlds)
    throw std::out_of_range("tarvel: world " + std::to_string(world) + " of a model of " +
                            std::to_string(d.worlds) + " worlds");
}

// The index of an atom in the model, or -1 when the model does not know it.
long indexOf(const Model::Data& d, const Formula::Node& a) {
  if (a.named) {
    auto found = d.namedIndex.find(a.name);
    return found == d.namedIndex.end() ? -1 : static_cast<long>(found->second);
  }
  auto found = d.numberedIndex.find(a.number);
  return found == d.numberedIndex.end() ? -1 : static_cast<long>(found->second);
}

// The truth of a node in every world, from those of its operands.
std::vector<char> combine(const Model::Data& d, const Formula::Node& n, const std::vector<char>* l,
                          const std::vector<char>* r) {
  size_t w = static_cast<size_t>(d.worlds);
  std::vector<char> v(w, 0);
  switch (n.kind) {
    case Formula::Kind::True: std::fill(v.begin(), v.end(), 1); break;
    case Formula::Kind::False: break;
    case Formula::Kind::Atom: {
      long i = indexOf(d, n);
      if (i >= 0) std::copy_n(d.values.begin() + i * static_cast<long>(w), w, v.begin());
      break;
    }
    case Formula::Kind::Not: for (size_t k = 0; k < w; k++) v[k] = !(*l)[k]; break;
    case Formula::Kind::And: for (size_t k = 0; k < w; k++) v[k] = (*l)[k] && (*r)[k]; break;
    case Formula::Kind::Or: for (size_t k = 0; k < w; k++) v[k] = (*l)[k] || (*r)[k]; break;
    case Formula::Kind::Implies: for (size_t k = 0; k < w; k++) v[k] = !(*l)[k] || (*r)[k]; break;
    case Formula::Kind::Iff: for (size_t k = 0; k < w; k++) v[k] = !(*l)[k] == !(*r)[k]; break;
    case Formula::Kind::Box: std::fill(v.begin(), v.end(), std::all_of(l->begin(), l->end(), [](char c) { return c; })); break;
    case Formula::Kind::Diamond: std::fill(v.begin(), v.end(), std::any_of(l->begin(), l->end(), [](char c) { return c; })); break;
  }
  return v;
}

}  // namespace

Model ModelAccess::make(const std::vector<std::vector<int>>& worlds, const Clausifier& atoms) {
  auto d = std::make_shared<Model::Data>();
  std::vector<std::pair<Formula, int>> known;
  for (const auto& [atom, f] : atoms.userAtoms()) known.emplace_back(f, atom);
  std::sort(known.begin(), known.end(), [](const auto& a, const auto& b) { return atomOrder(a.first, b.first); });
  std::unordered_map<int, size_t> indexOfAtom;
  for (const auto& [f, atom] : known) {
    size_t i = d->atoms.size();
    d->atoms.push_back(f);
    indexOfAtom.emplace(atom, i);
    if (f.isNamed()) {
      d->namedIndex.emplace(f.name(), i);
    } else {
      d->numberedIndex.emplace(f.number(), i);
    }
  }
  d->worlds = static_cast<int>(worlds.size());
  d->values.assign(d->atoms.size() * worlds.size(), 0);
  for (size_t w = 0; w < worlds.size(); w++)
    for (int lit : worlds[w]) {
      auto found = indexOfAtom.find(std::abs(lit));
      if (found != indexOfAtom.end()) d->values[found->second * worlds.size() + w] = lit > 0;
    }
  return Model(std::move(d));
}

Model::Model() : data(std::make_shared<Data>()) {}
Model::Model(std::shared_ptr<const Data> data) : data(std::move(data)) {}

int Model::worldCount() const { return data->worlds; }

bool Model::value(const Formula& a, int world) const {
  if (a.kind() != Formula::Kind::Atom) throw std::invalid_argument("tarvel: value() of a formula that is not an atom");
  requireWorld(*data, world);
  long i = indexOf(*data, *FormulaAccess::node(a));
  return i >= 0 && data->values[static_cast<size_t>(i) * static_cast<size_t>(data->worlds) + static_cast<size_t>(world)];
}

bool Model::holds(const Formula& f, int world) const {
  requireWorld(*data, world);
  // Post-order over the formula's nodes, each evaluated once in all worlds
  // (shared subformulas too), without recursion.
  std::unordered_map<const Formula::Node*, std::vector<char>> truth;
  std::vector<std::pair<const Formula::Node*, bool>> todo{{FormulaAccess::node(f).get(), false}};
  while (!todo.empty()) {
    auto [n, operandsDone] = todo.back();
    todo.pop_back();
    if (truth.count(n) != 0) continue;
    if (!operandsDone && n->left) {
      todo.emplace_back(n, true);
      if (n->right) todo.emplace_back(n->right.get(), false);
      todo.emplace_back(n->left.get(), false);
      continue;
    }
    const std::vector<char>* l = n->left ? &truth.at(n->left.get()) : nullptr;
    const std::vector<char>* r = n->right ? &truth.at(n->right.get()) : nullptr;
    truth.emplace(n, combine(*data, *n, l, r));
  }
  return truth.at(FormulaAccess::node(f).get())[static_cast<size_t>(world)] != 0;
}

std::vector<Formula> Model::trueAtoms(int world) const {
  requireWorld(*data, world);
  std::vector<Formula> out;
  for (size_t i = 0; i < data->atoms.size(); i++)
    if (data->values[i * static_cast<size_t>(data->worlds) + static_cast<size_t>(world)]) out.push_back(data->atoms[i]);
  return out;
}

std::vector<Formula> Model::atoms() const { return data->atoms; }

}  // namespace tarvel

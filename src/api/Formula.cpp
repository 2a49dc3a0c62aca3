// Formulas: building, comparing, hashing and printing, all without recursion.
#include <functional>
#include <ostream>
#include <utility>
#include <vector>

#include "api/FormulaNode.h"

namespace tarvel {

namespace {

// Seeds below 2^32, so that hashes are the same computation on 32-bit
// targets (the browser build) as on 64-bit ones, only narrower.
const std::size_t kGolden = 0x9e3779b9u, kKindSeed = 0x01000193u, kNumberSeed = 0x51ed270bu, kNameSeed = 0x2545f491u;

std::size_t mix(std::size_t h, std::size_t x) { return h ^ (x + kGolden + (h << 6) + (h >> 2)); }

NodePtr makeNode(Formula::Kind kind, NodePtr left = nullptr, NodePtr right = nullptr) {
  auto n = std::make_shared<Formula::Node>();
  n->kind = kind;
  n->hash = mix(static_cast<std::size_t>(kind) * kKindSeed, left ? left->hash : 0);
  n->hash = mix(n->hash, right ? right->hash : 0);
  n->left = std::move(left);
  n->right = std::move(right);
  return n;
}

const NodePtr& nodeOf(const Formula& f) { return FormulaAccess::node(f); }

Formula unary(Formula::Kind kind, const Formula& f) { return FormulaAccess::make(makeNode(kind, nodeOf(f))); }

Formula binary(Formula::Kind kind, const Formula& a, const Formula& b) {
  return FormulaAccess::make(makeNode(kind, nodeOf(a), nodeOf(b)));
}

bool sameLeaf(const Formula::Node& a, const Formula::Node& b) {
  return a.kind == b.kind && a.named == b.named && a.number == b.number && a.name == b.name;
}

}  // namespace

Formula::Node::~Node() {
  std::vector<NodePtr> orphans;
  auto adopt = [&](NodePtr& p) {
    if (p && p.use_count() == 1) orphans.push_back(std::move(p));
  };
  adopt(left);
  adopt(right);
  while (!orphans.empty()) {
    NodePtr n = std::move(orphans.back());
    orphans.pop_back();
    adopt(n->left);
    adopt(n->right);
  }
}

Formula::Formula() : node(makeNode(Kind::True)) {}
Formula::Formula(std::shared_ptr<const Node> node) : node(std::move(node)) {}

Formula::Kind Formula::kind() const { return node->kind; }

bool Formula::isNamed() const {
  if (node->kind != Kind::Atom) throw std::logic_error("tarvel: isNamed() of a formula that is not an atom");
  return node->named;
}

int Formula::number() const {
  if (node->kind != Kind::Atom || node->named) throw std::logic_error("tarvel: number() of a formula that is not a numbered atom");
  return node->number;
}

const std::string& Formula::name() const {
  if (node->kind != Kind::Atom || !node->named) throw std::logic_error("tarvel: name() of a formula that is not a named atom");
  return node->name;
}

std::size_t Formula::arity() const { return node->right ? 2 : node->left ? 1 : 0; }

Formula Formula::operand(std::size_t i) const {
  if (i >= arity()) throw std::out_of_range("tarvel: operand " + std::to_string(i) + " of a formula of arity " + std::to_string(arity()));
  return Formula(i == 0 ? node->left : node->right);
}

bool Formula::operator==(const Formula& other) const {
  std::vector<std::pair<const Node*, const Node*>> todo{{node.get(), other.node.get()}};
  while (!todo.empty()) {
    auto [a, b] = todo.back();
    todo.pop_back();
    if (a == b) continue;
    if (a->hash != b->hash || !sameLeaf(*a, *b) || !a->left != !b->left || !a->right != !b->right) return false;
    if (a->left) todo.emplace_back(a->left.get(), b->left.get());
    if (a->right) todo.emplace_back(a->right.get(), b->right.get());
  }
  return true;
}

std::size_t Formula::hash() const { return node->hash; }

Formula atom(int n) {
  if (n < 0) throw std::invalid_argument("tarvel: atom(" + std::to_string(n) + "): atom numbers are 0 or more");
  auto node = std::make_shared<Formula::Node>();
  node->kind = Formula::Kind::Atom;
  node->number = n;
  node->hash = mix(kNumberSeed, static_cast<std::size_t>(n));
  return FormulaAccess::make(std::move(node));
}

Formula atom(const std::string& name) {
  if (name.empty()) throw std::invalid_argument("tarvel: atom(\"\"): a named atom needs a name");
  auto node = std::make_shared<Formula::Node>();
  node->kind = Formula::Kind::Atom;
  node->named = true;
  node->name = name;
  node->hash = mix(kNameSeed, std::hash<std::string>()(name));
  return FormulaAccess::make(std::move(node));
}

Formula top() { return Formula(); }
Formula bottom() { return FormulaAccess::make(makeNode(Formula::Kind::False)); }
Formula operator!(const Formula& f) { return unary(Formula::Kind::Not, f); }
Formula operator&&(const Formula& a, const Formula& b) { return binary(Formula::Kind::And, a, b); }
Formula operator||(const Formula& a, const Formula& b) { return binary(Formula::Kind::Or, a, b); }
Formula implies(const Formula& a, const Formula& b) { return binary(Formula::Kind::Implies, a, b); }
Formula iff(const Formula& a, const Formula& b) { return binary(Formula::Kind::Iff, a, b); }
Formula box(const Formula& f) { return unary(Formula::Kind::Box, f); }
Formula diamond(const Formula& f) { return unary(Formula::Kind::Diamond, f); }

ParseError::ParseError(int line, int column, const std::string& message)
    : std::runtime_error(message), line_(line), column_(column) {}

namespace {

const char* prefixOf(Formula::Kind kind) {
  switch (kind) {
    case Formula::Kind::Not: return "~";
    case Formula::Kind::Box: return "[r1]";
    case Formula::Kind::Diamond: return "<r1>";
    default: return "(";
  }
}

const char* infixOf(Formula::Kind kind) {
  switch (kind) {
    case Formula::Kind::And: return " & ";
    case Formula::Kind::Or: return " | ";
    case Formula::Kind::Implies: return " -> ";
    default: return " <-> ";
  }
}

void writeLeaf(const Formula::Node& n, std::string& out) {
  if (n.kind == Formula::Kind::True) out += "true";
  if (n.kind == Formula::Kind::False) out += "false";
  if (n.kind == Formula::Kind::Atom) out += n.named ? n.name : "p" + std::to_string(n.number);
}

}  // namespace

std::string to_string(const Formula& f) {
  // Each entry is a node still to write, or (node null) a piece of text.
  struct Item {
    const Formula::Node* node;
    const char* text;
  };
  std::string out;
  std::vector<Item> todo{{nodeOf(f).get(), nullptr}};
  while (!todo.empty()) {
    Item it = todo.back();
    todo.pop_back();
    if (it.node == nullptr) {
      out += it.text;
      continue;
    }
    const Formula::Node& n = *it.node;
    if (!n.left) {
      writeLeaf(n, out);
      continue;
    }
    out += prefixOf(n.kind);
    if (n.right) {
      todo.push_back({nullptr, ")"});
      todo.push_back({n.right.get(), nullptr});
      todo.push_back({nullptr, infixOf(n.kind)});
    }
    todo.push_back({n.left.get(), nullptr});
  }
  return out;
}

std::ostream& operator<<(std::ostream& out, const Formula& f) { return out << to_string(f); }

}  // namespace tarvel

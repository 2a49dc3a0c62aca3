#pragma once
// The node behind a tarvel::Formula, for the library's own code.
#include <memory>
#include <string>

#include "tarvel/tarvel.hpp"

namespace tarvel {

using NodePtr = std::shared_ptr<const Formula::Node>;

struct Formula::Node {
  Kind kind = Kind::True;
  bool named = false;
  int number = 0;
  std::string name;
  // Mutable only so that the destructor can take the operands over: a chain
  // of a million nodes must not be freed by a million nested destructors.
  mutable NodePtr left, right;
  std::size_t hash = 0;

  ~Node();
};

// Builds formulas from nodes and reads a formula's node.
struct FormulaAccess {
  static Formula make(NodePtr node) { return Formula(std::move(node)); }
  static const NodePtr& node(const Formula& f) { return f.node; }
};

}  // namespace tarvel

// Syntax-tree nodes, their copies and the diagnostic printers. Every walk
// uses an explicit stack: formulas nested a hundred thousand deep are normal.
#include "frontend/ASTNode.h"

#include <cstdio>
#include <memory>
#include <new>
#include <utility>

namespace {

// Nodes live in chunks of many nodes that never move, so node addresses stay
// valid; one allocation per chunk instead of one per few nodes (a deque's
// blocks hold 16 nodes). The pool is released at exit, which keeps leak
// checkers quiet.
template <class Node>
class NodePool {
 public:
  Node& add() {
    if (used == kChunk || chunks.empty()) {
      chunks.emplace_back(new Node[kChunk]);
      used = 0;
    }
    count++;
    return chunks.back()[used++];
  }
  size_t size() const { return count; }
  void release() {
    std::vector<std::unique_ptr<Node[]>>().swap(chunks);
    used = count = 0;
  }

 private:
  static constexpr size_t kChunk = 8192;
  std::vector<std::unique_ptr<Node[]>> chunks;
  size_t used = 0, count = 0;
};

// Binary nodes created per node kind since the last release.
size_t binaryNodesOfType[NT_ATOM + 1] = {};

NodePool<ASTNode>& binaryPool() {
  static NodePool<ASTNode> pool;
  return pool;
}

NodePool<mbASTNode>& multiPool() {
  static NodePool<mbASTNode> pool;
  return pool;
}

const char* labelOf(int type) {
  switch (type) {
    case NT_BOX: return "Box  ";
    case NT_DIAMOND: return "Diamo";
    case NT_NOT: return "~    ";
    case NT_AND: return "&    ";
    case NT_OR: return "|     ";
    case NT_IMPLY: return "->   ";
    case NT_IFF: return "<->  ";
    case NT_TRUE: return "$T    ";
    case NT_FALSE: return "$F    ";
    default: return nullptr;
  }
}

bool isKnownType(int type) { return type >= NT_ROOT && type <= NT_ATOM; }

// Prints the line of one node; the caller decides which children follow.
void printNodeLine(int type, int atom, int depth) {
  if (type == NT_ROOT) {
    std::printf("root\n");
    return;
  }
  Ln_Space(depth);
  if (type == NT_ATOM)
    std::printf("p%d   \n", atom);
  else
    std::printf("%s\n", labelOf(type));
}

size_t& nodeLimit() {
  static size_t limit = 0;
  return limit;
}

void checkNodeLimit() {
  size_t limit = nodeLimit();
  if (limit != 0 && binaryPool().size() + multiPool().size() >= limit) throw std::bad_alloc();
}

}  // namespace

void setNodeLimit(size_t limit) { nodeLimit() = limit; }

size_t binaryNodesCreated(int type) {
  return type >= NT_ROOT && type <= NT_ATOM ? binaryNodesOfType[type] : 0;
}

void releasePooledNodes() {
  binaryPool().release();
  multiPool().release();
  for (size_t& n : binaryNodesOfType) n = 0;
}

ASTNode* newASTNode(int type, int atom) {
  checkNodeLimit();
  ASTNode& node = binaryPool().add();
  if (type >= NT_ROOT && type <= NT_ATOM) binaryNodesOfType[type]++;
  node.type = type;
  node.atom = atom;
  return &node;
}

mbASTNode* newMbASTNode(int type, int atom) {
  checkNodeLimit();
  mbASTNode& node = multiPool().add();
  node.type = type;
  node.atom = atom;
  return &node;
}

ASTNode* A_copySubtree(ASTNode* src, ASTNode* parent) {
  ASTNode* top = newASTNode(src->type, src->atom);
  top->parent = parent;
  std::vector<std::pair<ASTNode*, ASTNode*>> todo{{src, top}};
  while (!todo.empty()) {
    auto [from, to] = todo.back();
    todo.pop_back();
    if (from->left) {
      to->left = newASTNode(from->left->type, from->left->atom);
      to->left->parent = to;
      todo.emplace_back(from->left, to->left);
    }
    if (from->right) {
      to->right = newASTNode(from->right->type, from->right->atom);
      to->right->parent = to;
      todo.emplace_back(from->right, to->right);
    }
  }
  return top;
}

mbASTNode* M_copySubtree1(ASTNode* src, mbASTNode* parent) {
  mbASTNode* top = newMbASTNode(src->type, src->atom);
  top->parent = parent;
  std::vector<std::pair<ASTNode*, mbASTNode*>> todo{{src, top}};
  while (!todo.empty()) {
    auto [from, to] = todo.back();
    todo.pop_back();
    for (ASTNode* child : {from->left, from->right}) {
      if (!child) continue;
      mbASTNode* copy = newMbASTNode(child->type, child->atom);
      copy->parent = to;
      to->children.push_back(copy);
      todo.emplace_back(child, copy);
    }
  }
  return top;
}

mbASTNode* M_copySubtree2(mbASTNode* src, mbASTNode* parent) {
  mbASTNode* top = newMbASTNode(src->type, src->atom);
  top->parent = parent;
  std::vector<std::pair<mbASTNode*, mbASTNode*>> todo{{src, top}};
  while (!todo.empty()) {
    auto [from, to] = todo.back();
    todo.pop_back();
    to->children.reserve(from->children.size());
    for (mbASTNode* child : from->children) {
      mbASTNode* copy = newMbASTNode(child->type, child->atom);
      copy->parent = to;
      to->children.push_back(copy);
      todo.emplace_back(child, copy);
    }
  }
  return top;
}

void A_chainOperands(ASTNode* top, std::deque<ASTNode*>& queue, std::vector<ASTNode*>& operands) {
  queue.assign(1, top);
  while (!queue.empty()) {
    ASTNode* m = queue.front();
    queue.pop_front();
    if (m->type != top->type) {
      operands.push_back(m);
      continue;
    }
    if (m->left) queue.push_back(m->left);
    if (m->right) queue.push_back(m->right);
  }
}

void Ln_Space(int n) {
  for (int i = 0; i < n; i++) std::printf("     ");
}

void ASTprint(ASTNode* node, int depth) {
  std::vector<std::pair<ASTNode*, int>> todo;
  if (node) todo.emplace_back(node, depth);
  while (!todo.empty()) {
    auto [cur, d] = todo.back();
    todo.pop_back();
    if (!isKnownType(cur->type)) continue;
    printNodeLine(cur->type, cur->atom, d);
    // Pushed in reverse so that the left operand prints first.
    if (cur->right && (cur->type == NT_AND || cur->type == NT_OR || cur->type == NT_IMPLY ||
                       cur->type == NT_IFF))
      todo.emplace_back(cur->right, d + 1);
    if (cur->left && cur->type != NT_ATOM && cur->type != NT_TRUE && cur->type != NT_FALSE)
      todo.emplace_back(cur->left, d + 1);
  }
}

namespace {

// The children mbASTprint shows: one for unary kinds and the root, all for
// AND / OR, the first two for the binary connectives.
size_t printedChildCount(const mbASTNode* node) {
  size_t n = node->children.size();
  switch (node->type) {
    case NT_ROOT: case NT_BOX: case NT_DIAMOND: case NT_NOT: return n < 1 ? n : 1;
    case NT_AND: case NT_OR: return n;
    case NT_IMPLY: case NT_IFF: return n < 2 ? n : 2;
    default: return 0;
  }
}

}  // namespace

void mbASTprint(mbASTNode* node, int depth) {
  std::vector<std::pair<mbASTNode*, int>> todo;
  if (node) todo.emplace_back(node, depth);
  while (!todo.empty()) {
    auto [cur, d] = todo.back();
    todo.pop_back();
    if (!cur || !isKnownType(cur->type)) continue;
    printNodeLine(cur->type, cur->atom, d);
    for (size_t i = printedChildCount(cur); i-- > 0;) todo.emplace_back(cur->children[i], d + 1);
  }
}

void dfsDebug(mbASTNode* node) {
  std::vector<mbASTNode*> todo;
  if (node) todo.push_back(node);
  while (!todo.empty()) {
    mbASTNode* cur = todo.back();
    todo.pop_back();
    if (cur->type == NT_ROOT) {
      std::printf("Root: children.size=%d\n", static_cast<int>(cur->children.size()));
      if (cur->children.size() != 1) continue;
    } else if (!cur->parent) {
      std::printf("NULLPTR!!!\n");
      continue;
    }
    for (size_t i = cur->children.size(); i-- > 0;) todo.push_back(cur->children[i]);
  }
}

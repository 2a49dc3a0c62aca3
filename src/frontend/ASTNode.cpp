// Syntax-tree nodes and their copies. Every walk
// uses an explicit stack: formulas nested a hundred thousand deep are normal.
#include "frontend/ASTNode.h"

#include <memory>
#include <new>
#include <utility>

namespace {

// Nodes live in chunks of many nodes that never move, so node addresses stay
// valid; one allocation per chunk instead of one per few nodes (a deque's
// blocks hold 16 nodes). The pool is released at exit, which keeps leak
// checkers quiet. One pool per node kind for the whole process: the parser's
// actions (generated code) and every pass allocate nodes, and threading a
// pool through the generated parser is not possible.
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

ASTNode* linkedNode(int type, ASTNode* left, ASTNode* right) {
  ASTNode* node = newASTNode(type);
  node->left = left;
  node->right = right;
  if (left) left->parent = node;
  if (right) right->parent = node;
  return node;
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

size_t M_subtreeSize(const mbASTNode* top, size_t limit) {
  size_t size = 0;
  std::vector<const mbASTNode*> todo{top};
  while (!todo.empty() && size <= limit) {
    const mbASTNode* m = todo.back();
    todo.pop_back();
    size++;
    for (const mbASTNode* c : m->children) todo.push_back(c);
  }
  return size;
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

// Syntax-tree nodes and their copies. Every walk
// uses an explicit stack: formulas nested a hundred thousand deep are normal.
#include "frontend/ASTNode.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace {

// The only process-wide state of the front end, one pointer per thread, so
// that threads working on different formulas never share an arena; why the
// node functions find their arena here instead of in a parameter: see NodeArena.
thread_local NodeArena* currentArena = nullptr;

}  // namespace

NodeArena::Scope::Scope(NodeArena& arena) : previous(currentArena) { currentArena = &arena; }

NodeArena::Scope::~Scope() { currentArena = previous; }

NodeArena& NodeArena::current() {
  if (currentArena == nullptr) throw std::logic_error("syntax-tree node used with no current NodeArena");
  return *currentArena;
}

void NodeArena::release() {
  binary.release();
  multi.release();
  for (size_t& n : binaryOfType) n = 0;
}

size_t NodeArena::binaryCreated(int type) const {
  return type >= NT_ROOT && type <= NT_ATOM ? binaryOfType[type] : 0;
}

void NodeArena::checkLimit() const {
  if (nodeLimit != 0 && binary.size() + multi.size() >= nodeLimit) throw std::bad_alloc();
}

ASTNode* NodeArena::newBinary(int type, int atom) {
  checkLimit();
  ASTNode& node = binary.add();
  if (type >= NT_ROOT && type <= NT_ATOM) binaryOfType[type]++;
  node.type = type;
  node.atom = atom;
  return &node;
}

mbASTNode* NodeArena::newMulti(int type, int atom) {
  checkLimit();
  mbASTNode& node = multi.add();
  node.type = type;
  node.atom = atom;
  return &node;
}

void setNodeLimit(size_t limit) { NodeArena::current().setLimit(limit); }

size_t binaryNodesCreated(int type) { return NodeArena::current().binaryCreated(type); }

ASTNode* newASTNode(int type, int atom) { return NodeArena::current().newBinary(type, atom); }

ASTNode* linkedNode(int type, ASTNode* left, ASTNode* right) {
  ASTNode* node = newASTNode(type);
  node->left = left;
  node->right = right;
  if (left) left->parent = node;
  if (right) right->parent = node;
  return node;
}

mbASTNode* newMbASTNode(int type, int atom) { return NodeArena::current().newMulti(type, atom); }

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

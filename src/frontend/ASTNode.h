#pragma once
// Syntax trees: the binary tree the parser builds and the multi-branch tree
// the S5-NF reduction works on. Nodes are owned by a process-wide pool and
// live until exit; passes never free the nodes they cut out.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

enum NodeType {
  NT_ROOT = 0, NT_BOX, NT_DIAMOND, NT_NOT, NT_AND, NT_OR,
  NT_IMPLY, NT_IFF, NT_TRUE, NT_FALSE, NT_ATOM
};

struct ASTNode {
  int type = NT_ROOT;
  int atom = -1;
  ASTNode* left = nullptr;
  ASTNode* right = nullptr;
  ASTNode* parent = nullptr;
};

struct mbASTNode {
  int type = NT_ROOT;
  int atom = -1;
  std::vector<mbASTNode*> children;
  mbASTNode* parent = nullptr;
};

// New pooled nodes with atom = -1 (or the given atom) and no links.
ASTNode* newASTNode(int type, int atom = -1);
// A new pooled node over `left` and `right` (either may be null), which get it as parent.
ASTNode* linkedNode(int type, ASTNode* left, ASTNode* right);
mbASTNode* newMbASTNode(int type, int atom = -1);

// For callers that run many formulas in one process: a cap on the pooled
// nodes of both kinds (0, the default, is none) beyond which a new node
// throws std::bad_alloc, and the release of every pooled node.
// require for releasePooledNodes: no pooled node is in use any more.
void setNodeLimit(size_t limit);
void releasePooledNodes();
// Binary nodes created with this kind since the last release (by any tree).
// Passes skip their walk when no node of the kinds they rewrite exists; a
// node's kind changes later only between AND / OR and between Box / Diamond.
size_t binaryNodesCreated(int type);

// Deep copies. require: src != null. ensure: the copy shares no node with src,
// its top has `parent` as parent, every other node points to its copied parent.
ASTNode* A_copySubtree(ASTNode* src, ASTNode* parent);
mbASTNode* M_copySubtree2(mbASTNode* src, mbASTNode* parent);

// The number of nodes of the multi-branch subtree at top, counted up to
// limit + 1: a caller that only asks whether it is small stops early.
size_t M_subtreeSize(const mbASTNode* top, size_t limit = SIZE_MAX);

// The operands of the chain of nodes of top's kind below top (top included),
// in breadth-first order: the children that the multi-branch tree gives the
// junction `top`. `queue` is scratch space; the operands are appended.
void A_chainOperands(ASTNode* top, std::deque<ASTNode*>& queue, std::vector<ASTNode*>& operands);

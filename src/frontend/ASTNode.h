#pragma once
// Syntax trees: the binary tree the parser builds and the multi-branch tree
// the S5-NF reduction works on. Nodes are owned by a NodeArena and live as
// long as it; passes never free the nodes they cut out.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
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

// Nodes in chunks of many nodes that never move, so node addresses stay
// valid; one allocation per chunk instead of one per few nodes.
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

// The owner of the nodes of both kinds that one formula's parse and normal
// form create. The node functions below take their nodes from the current
// arena of the calling thread: the parser's actions, every pass and the
// small rewriting helpers inside them create nodes, and an arena parameter
// on all of them would be passed along everywhere for nothing else. Each
// thread that works on formulas makes its own arena current with a Scope;
// an arena is used by one thread at a time.
class NodeArena {
 public:
  NodeArena() = default;
  NodeArena(const NodeArena&) = delete;
  NodeArena& operator=(const NodeArena&) = delete;
  ~NodeArena() = default;  // frees every node of the arena

  // Makes `arena` the current arena of the calling thread until the scope
  // ends, then the one that was current before it (none, or an outer scope's).
  // require: `arena` outlives the scope; scopes of one thread end in the
  // reverse order of their start.
  class Scope {
   public:
    explicit Scope(NodeArena& arena);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    NodeArena* previous;
  };

  // The current arena of the calling thread.
  // require: a Scope is open in this thread (else std::logic_error).
  static NodeArena& current();

  // Frees every node and resets the counters; the limit stays.
  // require: no node of the arena is in use any more.
  void release();
  // Frees every multi-branch node, so that a reduction run again does not
  // keep the tree of the attempt before. require: none is in use any more.
  void releaseMulti() { multi.release(); }
  // A cap on the nodes of both kinds (0, the default, is none) beyond which
  // a new node throws std::bad_alloc.
  void setLimit(size_t limit) { nodeLimit = limit; }
  // Binary nodes created with this kind since the arena's start or release.
  size_t binaryCreated(int type) const;

  ASTNode* newBinary(int type, int atom);
  mbASTNode* newMulti(int type, int atom);

 private:
  NodePool<ASTNode> binary;
  NodePool<mbASTNode> multi;
  size_t nodeLimit = 0;
  size_t binaryOfType[NT_ATOM + 1] = {};

  void checkLimit() const;
};

// New nodes of the current arena with atom = -1 (or the given atom) and no links.
// require (for every function below that creates nodes): a current arena.
ASTNode* newASTNode(int type, int atom = -1);
// A new node over `left` and `right` (either may be null), which get it as parent.
ASTNode* linkedNode(int type, ASTNode* left, ASTNode* right);
mbASTNode* newMbASTNode(int type, int atom = -1);

// NodeArena::setLimit of the current arena, for callers that run many
// formulas in one process.
void setNodeLimit(size_t limit);
// Binary nodes of this kind the current arena created (by any tree).
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

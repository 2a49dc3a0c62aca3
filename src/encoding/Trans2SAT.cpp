#include "encoding/Trans2SAT.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "encoding/AtomWorldTable.h"

namespace {

enum GateKind { OR_GATE, AND_GATE };

// A FIFO of literals on one vector: pairwise reduction only pops from the front
// and appends, and reusing the storage saves an allocation per Box and world.
class LitQueue {
 public:
  void reset() {
    items.clear();
    head = 0;
  }
  size_t size() const { return items.size() - head; }
  void push(int lit) { items.push_back(lit); }
  int pop() { return items[head++]; }

 private:
  std::vector<int> items;
  size_t head = 0;
};

// Builds clauses into an encoder: variable lookup, gates and pairwise reduction.
// A non-zero `weight` is stored in front of every clause (the MaxSAT form).
class ClauseBuilder {
 public:
  // The table lives only as long as the encoding; decoding needs atomWorldOf alone.
  ClauseBuilder(Trans2SAT& enc, const S5clauSet& cs, int weight)
      : enc(enc), weight(weight), varOf(cs, enc.worldNum) {}

  int lookup(int lit, int world) {
    int atom = std::abs(lit);
    int& var = varOf.slot(atom, world);
    if (var == 0) {
      var = ++enc.varNum;
      enc.atomWorldOf.resize(static_cast<size_t>(var), {0, -1});
      enc.atomWorldOf.back() = {atom, world};
    }
    return lit > 0 ? var : -var;
  }

  void addClause(std::initializer_list<int> lits) {
    if (weight != 0) enc.satClauses.push(weight);
    for (int l : lits) enc.satClauses.push(l);
    enc.satClauses.push(0);
  }

  // Reduces the queue to one literal standing for the OR / AND of all of it.
  int reduce(LitQueue& q, GateKind kind) {
    while (q.size() >= 2) {
      int a = q.pop();
      int b = q.pop();
      int t = ++enc.varNum;
      if (kind == OR_GATE) {
        addClause({-t, a, b});
        addClause({-a, t});
        addClause({-b, t});
      } else {
        addClause({t, -a, -b});
        addClause({a, -t});
        addClause({b, -t});
      }
      q.push(t);
    }
    return q.pop();
  }

  // Box(l1 | ... | lm) in every world 0 .. worlds-1; world w >= 1 only
  // while its selector is true when `selectors` is set, so that a world
  // switched off is free.
  int box(const std::vector<int>& members, int worlds, bool selectors) {
    // All atom-world variables first, then the gates: this fixes the numbering.
    startSlices();
    for (int w = 0; w < worlds; w++) {
      nextSlice();
      if (selectors && w >= 1) looked.push_back(-w);
      for (int l : members) looked.push_back(lookup(l, w));
    }
    return reduceSlices(OR_GATE, AND_GATE);
  }

  // Diamond(l1 & ... & lm) witnessed in one of the worlds 0 .. cursor; world
  // w >= 1 counts only with its selector when `selectors` is set.
  int boundedDiamond(const std::vector<int>& members, int cursor, bool selectors) {
    startSlices();
    for (int w = 0; w <= cursor; w++) {
      nextSlice();
      if (selectors && w >= 1) looked.push_back(w);
      for (int l : members) looked.push_back(lookup(l, w));
    }
    return reduceSlices(AND_GATE, OR_GATE);
  }

  // Diamond(l1 & ... & lm) witnessed in `world`.
  int diamond(const std::vector<int>& members, int world) {
    startSlices();
    nextSlice();
    for (int l : members) looked.push_back(lookup(l, world));
    return reduceSlices(AND_GATE, AND_GATE);
  }

  void addTopLevel(const std::vector<int>& lits) {
    if (weight != 0) enc.satClauses.push(weight);
    for (int l : lits) enc.satClauses.push(l);
    enc.satClauses.push(0);
  }

  // The bounded encoding over k worlds, shared by the SAT and MaxSAT forms.
  void encodeBounded(S5clauSet& cs, int k, bool selectors) {
    int cursor = 0;
    std::vector<int> lits;
    for (const auto& clause : cs.clauses) {
      lits.clear();
      bool advanced = false;
      for (const S5lit& s : clause) {
        if (s.type == LitKind::Box) {
          lits.push_back(box(s.lits, k, selectors));
        } else if (s.type == LitKind::Diamond) {
          if (!advanced) cursor = std::min(cursor + 1, k - 1);
          advanced = true;
          lits.push_back(boundedDiamond(s.lits, cursor, selectors));
        } else {
          lits.push_back(lookup(s.lits[0], std::max(s.world, 0)));
        }
      }
      addTopLevel(lits);
    }
  }

 private:
  void startSlices() {
    looked.clear();
    sliceStarts.clear();
  }
  void nextSlice() { sliceStarts.push_back(looked.size()); }

  // Each slice of `looked` reduced by `inner`, then the results by `outer`.
  int reduceSlices(GateKind inner, GateKind outer) {
    outerQueue.reset();
    for (size_t i = 0; i < sliceStarts.size(); i++) {
      size_t end = i + 1 < sliceStarts.size() ? sliceStarts[i + 1] : looked.size();
      innerQueue.reset();
      for (size_t k = sliceStarts[i]; k < end; k++) innerQueue.push(looked[k]);
      outerQueue.push(reduce(innerQueue, inner));
    }
    return reduce(outerQueue, outer);
  }

  Trans2SAT& enc;
  int weight;
  AtomWorldTable varOf;
  std::vector<int> looked;       // literals of all slices, in lookup order
  std::vector<size_t> sliceStarts;
  LitQueue innerQueue, outerQueue;
};

// Appends "%d  " per element and a newline per clause; written in large blocks.
void writeClauses(const ClauseList& clauses, std::string header, FILE* out) {
  std::string buf = std::move(header);
  char num[16];
  clauses.forEach([&](const int* first, const int* last) {
    for (const int* p = first; p != last; p++) {
      int n = std::snprintf(num, sizeof num, "%d  ", *p);
      buf.append(num, static_cast<size_t>(n));
    }
    buf += "0  \n";
    if (buf.size() > (1 << 20)) {
      std::fwrite(buf.data(), 1, buf.size(), out);
      buf.clear();
    }
  });
  std::fwrite(buf.data(), 1, buf.size(), out);
}

}  // namespace

void Trans2SAT::TranS52SAT(S5clauSet& cs) {
  worldNum = cs.worldN;
  ClauseBuilder b(*this, cs, 0);
  std::vector<int> lits;
  for (const auto& clause : cs.clauses) {
    lits.clear();
    for (const S5lit& s : clause) {
      if (s.type == LitKind::Box) {
        lits.push_back(b.box(s.lits, worldNum, false));
      } else if (s.type == LitKind::Diamond) {
        lits.push_back(b.diamond(s.lits, std::max(s.world, 0)));
      } else {
        lits.push_back(b.lookup(s.lits[0], std::max(s.world, 0)));
      }
    }
    b.addTopLevel(lits);
  }
}

void Trans2SAT::TranS52SAT_sel(S5clauSet& cs, int k) {
  worldNum = k;
  varNum = k - 1;
  ClauseBuilder(*this, cs, 0).encodeBounded(cs, k, true);
}

void Trans2SAT::TranS52P_MAX_SAT(S5clauSet& cs, int n) {
  worldNum = n;
  varNum = n;
  int top = maxSatTop();
  for (int w = 1; w < n; w++) satClauses.add({1, -w, 0});
  // World w + 1 is used only when world w is: keeps every optimum, breaks symmetry.
  for (int w = 1; w <= n - 2; w++) satClauses.add({top, -(w + 1), w, 0});
  ClauseBuilder(*this, cs, top).encodeBounded(cs, n, true);
}

int Trans2SAT::maxSatTop() const { return std::max(10, worldNum); }

void Trans2SAT::printSATclau(FILE* out) const {
  writeClauses(satClauses, "c =====CNF of DIMAC format=====\n", out);
}

void Trans2SAT::printMAXSATclau(FILE* out) const {
  std::string header = "p wcnf " + std::to_string(varNum) + " " + std::to_string(satClauses.size()) + " " +
                       std::to_string(maxSatTop()) + "\n";
  writeClauses(satClauses, header, out);
}

std::vector<std::vector<int>> Trans2SAT::decodeModel(const std::function<bool(int)>& isTrue) const {
  std::vector<int> rank(static_cast<size_t>(std::max(worldNum, 1)));
  for (size_t w = 0; w < rank.size(); w++) rank[w] = static_cast<int>(w);
  return decodeWorlds(atomWorldOf, rank, isTrue);
}

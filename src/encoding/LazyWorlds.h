#pragma once
// Encodes an S5 clause set for lazy witness worlds: world 0 first, and a
// witness world only once a model uses a Diamond literal witnessed there.
// Every Box and Diamond literal occurs positively in the normal form, so each
// gate needs only the direction gate -> (what it stands for); a gate whose
// witness world is not active is free, which makes every round a relaxation
// of the encoding over all worlds.
// On large inputs (Box members times possible worlds past a budget) the Box
// clauses are lazy too: world 0 gets them all, any other world a Box's clause
// only once a model makes the Box true and violates it there. A round then
// still relaxes the full encoding, and a model counts only once it violates
// no Box in any active world.
// Past the world bound's budget the Diamonds share witness worlds instead:
// the solver picks each one's witness among candidate worlds that grow as
// models need (WitnessChoice).
#include <cstddef>
#include <unordered_map>
#include <vector>

#include "clauseset/S5clauSet.h"
#include "encoding/AtomWorldTable.h"
#include "encoding/S5model.h"

// Where the clauses go; the encoder keeps none of them.
class ClauseSink {
 public:
  virtual ~ClauseSink() = default;
  virtual void add(const std::vector<int>& lits) = 0;
  // A Diamond gate: kept across solves (one that occurs only positively
  // would otherwise be eliminated as pure and come back true in every
  // model) and tried false first, so models activate few worlds.
  virtual void preferFalse(int var) = 0;
};

// Reads model values of the last solve.
class ModelView {
 public:
  virtual ~ModelView() = default;
  virtual bool isTrue(int lit) = 0;
};

// When Box clauses go into the worlds other than world 0: BySize, all at
// activation below the size budget and on violation above it; Lazy, always
// on violation.
enum class BoxClauses { BySize, Lazy };

// Where a Diamond may be witnessed. Shared: the solver chooses among the
// Diamond's candidate worlds, which grow as models need (world 0 first, then
// worlds active before, then worlds opened in the same round, then its own
// world); a clause that is a single Diamond keeps its own world, active from
// the start. ByBound: Shared when the world bound's conflict analysis ran out
// of budget (one world per Diamond clause, where sharing saves most), else
// only in the Diamond's world of the world bound.
enum class WitnessChoice { ByBound, Shared };

class LazyWorlds {
 public:
  // require: the world bound ran on `cs` (every Diamond literal of a diamond
  // clause has its witness world in 1 .. worldN - 1); `cs` outlives encodeFirstRound,
  // the only call that reads its clauses.
  LazyWorlds(const S5clauSet& cs, ClauseSink& sink, BoxClauses boxClauses = BoxClauses::BySize,
             WitnessChoice witnesses = WitnessChoice::ByBound);
  // An encoder that starts with world 0 alone and takes its clauses in
  // batches (addClauses), for a formula that grows between solves; BySize
  // then means every Box clause at activation.
  explicit LazyWorlds(ClauseSink& sink, BoxClauses boxClauses = BoxClauses::BySize);

  // First round: world 0 and the witness worlds of single-Diamond clauses.
  // require: made from a clause set.
  void encodeFirstRound();
  // More clauses, encoded at once over the active worlds.
  // require: every Diamond literal of `clauses` has its witness world in
  // 1 .. worldN - 1, and worlds given to earlier clauses keep their Diamonds:
  // a new Diamond gets a world of its own or an equal earlier one's world.
  void addClauses(const std::vector<std::vector<S5lit>>& clauses, int worldN);
  // From now on a Box's clause goes into a world other than 0 only once a
  // model violates it there, as on large inputs.
  void addBoxesLazily() { lazyBoxes = true; }
  // The variable of `lit` in world 0, for literals the caller assumes.
  int actualWorldVariable(int lit) { return variable(lit, 0); }
  // After a satisfiable solve: activates the inactive witness worlds of the
  // true Diamond gates that no active world witnesses in the model, and adds
  // their clauses (shared witnesses: gives each such Diamond a candidate
  // world more, or makes its candidates final); with lazy Boxes, also adds
  // the clause of each true Box in each active world where the model violates
  // it. Reads the whole model before adding anything. Returns how many
  // worlds, candidates and clauses it added; 0 means the model is an S5 model
  // over the active worlds.
  int refine(ModelView& model);
  // What the next solve assumes: every shared Diamond witnessed among its
  // candidates. Adds the clauses that say so when the candidates changed.
  // A solve without them still relaxes the formula; refine() then gives
  // the Diamonds it leaves unwitnessed more candidates.
  std::vector<int> assumptions();
  int activeWorlds() const { return activeCount; }
  // The model over the active worlds, renumbered 0, 1, ... in world order:
  // per world the signed atoms of its variables, in variable order.
  std::vector<std::vector<int>> decodeModel(ModelView& model) const;

 private:
  struct Gate {
    int var;  // 0: the literal is a clause of its own, no gate
    size_t members;  // first member in `memberPool`
    size_t count;
  };
  // A Diamond with shared witnesses: candidate worlds, each with a variable
  // c -> members in that world. The clause gate -> c1 | ... | ck holds under
  // a selector that each solve assumes and a solve that gives up on it does
  // not, which keeps every round a relaxation. Once the own world (the world
  // bound's) is a candidate and a model still leaves the Diamond
  // unwitnessed, the clause holds for good: a model of the formula that
  // witnesses every Diamond in its own world satisfies it.
  struct SharedDiamond {
    Gate gate;
    int own;
    bool final;
    std::vector<std::pair<int, int>> candidates;  // (world, variable)
  };
  // Per round, the worlds opened in it and the members placed there, for
  // placing further Diamonds whose members do not clash with them.
  struct Opened {
    int world;
    std::vector<int> placed;  // sorted
  };

  int variable(int lit, int world);
  int newGate();
  void addTopLevel(const std::vector<S5lit>& lits);
  bool normalise(const S5lit& l);
  Gate gateFor(const S5lit& l, bool single);
  void markActive(int world);
  void activate(int world);
  void addBox(const Gate& g, int world);
  void addDiamond(const Gate& g, int world);
  bool isWitnessedActive(const Gate& g, ModelView& model) const;
  void growWorlds(int worldN);
  bool holdsIn(const Gate& box, int world, ModelView& model) const;
  std::vector<int> usedWorlds(ModelView& model) const;
  std::vector<std::pair<size_t, int>> violatedBoxes(ModelView& model) const;
  void addShared(const Gate& g, int own);
  void addCandidate(SharedDiamond& d, int world);
  bool isCandidate(const SharedDiamond& d, int world) const;
  std::vector<size_t> unwitnessedShared(ModelView& model) const;
  int placeShared(const std::vector<size_t>& needy);
  int addEarlierWorlds(SharedDiamond& d, size_t earlier);
  void addWitnessChoice(const SharedDiamond& d, int guard);
  bool placeInOpened(SharedDiamond& d, std::vector<Opened>& opened);
  void openShared(int world);

  const S5clauSet* cs;  // null when the clauses come in batches
  ClauseSink& sink;
  long long boxMembers = 0;  // of the clause set, when made from one
  bool lazyBoxes = false;
  // Worlds opened for shared Diamonds get every Box clause at once, within
  // the budget, even when Box clauses are lazy elsewhere.
  bool sharedBoxesEager = false;
  int sharedOpened = 0;
  std::vector<char> boxesComplete;  // by world: has every Box clause though lazyBoxes
  bool shared = false;
  std::vector<SharedDiamond> sharedDiamonds;
  std::vector<int> activeOrder;  // the active worlds in order of activation
  std::vector<int> candidateStamp;  // by world: == stamp when a candidate of the Diamond at hand
  int stamp = 0;
  int selector = 0;  // the witness choices of the candidates as they are
  bool candidatesChanged = false;
  int varCount = 0;
  std::vector<int> memberPool;
  std::vector<Gate> boxes;
  std::vector<std::vector<Gate>> diamondsAt;  // by witness world
  std::vector<char> active;
  int activeCount = 0;
  // Per world its index in the variable table, in order of activation (-1:
  // not active), so that the table's rows are as long as the active worlds.
  std::vector<int> tableWorld;
  AtomWorldTable varOf;
  AtomWorldOf atomWorldOf;
  std::vector<int> clause, top, members, key;  // reused buffers
  std::unordered_map<std::vector<int>, Gate, IntVectorHash> gateOf;  // kind, world, members
};

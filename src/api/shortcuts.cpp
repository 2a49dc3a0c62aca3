// One-question shortcuts, each on a solver of its own.
#include "tarvel/tarvel.hpp"

namespace tarvel {

namespace {

Formula conjunction(const std::vector<Formula>& fs) {
  if (fs.empty()) return top();
  Formula all = fs[0];
  for (size_t i = 1; i < fs.size(); i++) all = all && fs[i];
  return all;
}

}  // namespace

bool satisfiable(const Formula& f, Model* model) {
  Solver s;
  s.add(f);
  bool sat = s.check() == Result::Sat;
  if (sat && model != nullptr) *model = s.model();
  return sat;
}

// Every world of an S5 model can be taken as the actual one, so f holds in
// every world of every model exactly when ~f holds in no actual world.
bool valid(const Formula& f, Model* countermodel) {
  Model m;
  bool falsifiable = satisfiable(!f, &m);
  if (falsifiable && countermodel != nullptr) *countermodel = m;
  return !falsifiable;
}

bool entails(const std::vector<Formula>& premises, const Formula& conclusion, bool global) {
  Formula all = conjunction(premises);
  return global ? valid(implies(box(all), box(conclusion))) : valid(implies(all, conclusion));
}

}  // namespace tarvel

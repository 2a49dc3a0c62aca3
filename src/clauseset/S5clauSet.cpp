#include "clauseset/S5clauSet.h"

#include <algorithm>
#include <string>

bool hasDiamond(const std::vector<S5lit>& clause) {
  return std::any_of(clause.begin(), clause.end(), [](const S5lit& l) { return l.type == LitKind::Diamond; });
}

int giveOwnWorlds(std::vector<std::vector<S5lit>>& clauses, int firstWorld) {
  int world = firstWorld;
  for (auto& c : clauses) {
    if (!hasDiamond(c)) continue;
    for (S5lit& l : c)
      if (l.type == LitKind::Diamond) l.world = world;
    world++;
  }
  return world;
}

void S5clauSet::listDiamondClauses() {
  diamClauses.clear();
  for (size_t c = 0; c < clauses.size(); c++)
    if (hasDiamond(clauses[c])) diamClauses.push_back(static_cast<int>(c));
}

namespace {

void appendMembers(std::string& line, const std::vector<int>& lits) {
  for (size_t i = 0; i < lits.size(); i++) {
    if (i) line += ',';
    line += std::to_string(lits[i]);
  }
}

void appendLiteral(std::string& line, const S5lit& l) {
  if (l.isModal()) {
    line += l.type == LitKind::Box ? "Box(" : "Diam(";
    appendMembers(line, l.lits);
    line += ')';
  } else {
    line += std::to_string(l.lits.empty() ? 0 : l.lits[0]);
  }
}

}  // namespace

void sortedMembers(const S5lit& l, std::vector<int>& out) {
  out.assign(l.lits.begin(), l.lits.end());
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
}

void S5clauSet::printClauSet(FILE* out) const {
  std::string line = "c ===== S5-NF-PRINT =====\n";
  for (size_t c = 0; c < clauses.size(); c++) {
    line += std::to_string(c) + ": ";
    for (const S5lit& l : clauses[c]) {
      line += '\t';
      appendLiteral(line, l);
    }
    line += '\n';
    if (line.size() > (1 << 16)) {
      std::fputs(line.c_str(), out);
      line.clear();
    }
  }
  std::fputs(line.c_str(), out);
}

#include "clauseset/S5clauSet.h"

#include <algorithm>
#include <string>

namespace {

void appendMembers(std::string& line, const std::vector<int>& lits) {
  for (size_t i = 0; i < lits.size(); i++) {
    if (i) line += ',';
    line += std::to_string(lits[i]);
  }
}

void appendLiteral(std::string& line, const S5lit& l) {
  if (l.type == 1 || l.type == 2) {
    line += l.type == 1 ? "Box(" : "Diam(";
    appendMembers(line, l.lits);
    line += ')';
  } else {
    line += std::to_string(l.lits.empty() ? 0 : l.lits[0]);
  }
}

}  // namespace

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

void S5clauSet::Op_ClauSet() {
  for (int c : diamClauses) {
    auto& clause = clauses[c];
    clause.erase(std::remove_if(clause.begin(), clause.end(), [](const S5lit& l) { return l.type != 2; }),
                 clause.end());
  }
}

void S5clauSet::PrintCWD() const {
  for (size_t k = 0; k < cwdList.size(); k++) {
    std::printf("%zu. \xEF\xBC\x88%d,%d)\n", k, cwdList[k].diamIdx, cwdList[k].conflictN);
    std::fflush(stdout);
  }
}

void S5clauSet::PrintDiamc() const {
  size_t d = cwdList.size();
  for (size_t i = 0; i < d; i++) {
    std::string row;
    for (size_t j = 0; j < d; j++) row += isConflict(static_cast<int>(i), static_cast<int>(j)) ? "1 " : "0 ";
    std::printf("%s\n", row.c_str());
    std::fflush(stdout);
  }
}

bool In(int x, std::vector<int>& v) { return std::find(v.begin(), v.end(), x) != v.end(); }

void clearMap(std::unordered_map<int, int>& m) { std::unordered_map<int, int>().swap(m); }

void clearQ(std::queue<int>& q) { std::queue<int>().swap(q); }

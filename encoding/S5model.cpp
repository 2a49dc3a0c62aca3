#include "encoding/S5model.h"

#include <cstdlib>
#include <string>

void printS5Model(const std::vector<std::vector<int>>& worlds, const AtomNames& names, FILE* out) {
  std::string text = "c ===== S5-model====\n";
  if (worlds.empty() || worlds[0].empty()) text += "v possible world0: any assignment is ok!";
  for (size_t w = 0; w < worlds.size(); w++) {
    for (size_t i = 0; i < worlds[w].size(); i++) {
      int e = worlds[w][i];
      if (i == 0) text += "v possible world" + std::to_string(w) + ": ";
      text += (e < 0 ? " -" : " ") + names.name(std::abs(e));
    }
    text += '\n';
  }
  std::fputs(text.c_str(), out);
}

#pragma once
// The data behind a tarvel::Model, and how the solver makes one.
#include <string>
#include <unordered_map>
#include <vector>

#include "api/Clausifier.h"
#include "tarvel/tarvel.hpp"

namespace tarvel {

struct Model::Data {
  std::vector<Formula> atoms;  // numbered atoms by number, then named ones by name
  std::unordered_map<int, std::size_t> numberedIndex;
  std::unordered_map<std::string, std::size_t> namedIndex;
  int worlds = 0;
  std::vector<char> values;  // atom i in world w: values[i * worlds + w]
};

struct ModelAccess {
  // require: worlds[w] holds the signed solver atoms true or false in world w
  // (at least one world). Atoms a world does not list are false there.
  static Model make(const std::vector<std::vector<int>>& worlds, const Clausifier& atoms);
};

}  // namespace tarvel

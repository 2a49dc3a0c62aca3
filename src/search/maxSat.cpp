#include "search/maxSat.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "encoding/Trans2SAT.h"

namespace {

std::string shellQuoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// One line (or piece of a long line) of the solver's output.
void readMaxSatLine(const char* line, MaxSatAnswer& a, bool& optimumSeen, bool& haveCost) {
  if (std::strstr(line, "UNSATISFIABLE") != nullptr) {
    a.verdict = Verdict::Unsat;
  } else if (std::strstr(line, "OPTIMUM FOUND") != nullptr) {
    a.verdict = Verdict::Sat;
    optimumSeen = true;
  } else if (optimumSeen && std::strchr(line, 'o') != nullptr) {
    const char* text = std::strlen(line) >= 2 ? line + 2 : "";
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    haveCost = end != text && errno == 0 && v >= 0 && v < INT_MAX;
    a.cost = haveCost ? v : 0;
  } else if (std::strstr(line, "c time:") != nullptr) {
    a.extraMs = (std::strlen(line) >= 7 ? std::strtod(line + 7, nullptr) : 0.0) * 1000;
  } else {
    a.otherLines += line;
  }
}

// The instance in a new file of its own; its path, or empty (errno set).
std::string writeInstance(const Trans2SAT& enc, const std::string& directory) {
  std::string path = (directory.empty() ? std::string(".") : directory) + "/maxsat-XXXXXX.wcnf";
  std::vector<char> name(path.begin(), path.end());
  name.push_back('\0');
  int fd = mkstemps(name.data(), 5);
  if (fd < 0) return std::string();
  path.assign(name.data());
  FILE* f = fdopen(fd, "wb");
  if (f == nullptr) {
    close(fd);
    unlink(path.c_str());
    return std::string();
  }
  enc.printMAXSATclau(f);
  bool written = std::ferror(f) == 0;
  written = std::fclose(f) == 0 && written;
  if (!written) {
    unlink(path.c_str());
    return std::string();
  }
  return path;
}

MaxSatAnswer failed(const std::string& why) {
  MaxSatAnswer a;
  a.failure = why;
  return a;
}

MaxSatAnswer runScript(const std::string& script, const std::string& instance) {
  if (script.empty()) return failed("MaxSAT solver starexec_run_A not found");
  FILE* pipe = popen((shellQuoted(script) + " " + shellQuoted(instance)).c_str(), "r");
  if (pipe == nullptr) return failed("MaxSAT solver " + script + " could not be started");
  MaxSatAnswer a;
  bool optimumSeen = false, haveCost = false;
  char buf[299];
  while (std::fgets(buf, sizeof buf, pipe) != nullptr) readMaxSatLine(buf, a, optimumSeen, haveCost);
  int status = pclose(pipe);
  a.scriptRan = true;
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    int code = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    a.verdict = Verdict::Indeterminate;
    a.failure = "MaxSAT solver " + script + " failed (exit status " + std::to_string(code) + ")";
  } else if (a.verdict == Verdict::Indeterminate || (a.verdict == Verdict::Sat && !haveCost)) {
    a.verdict = Verdict::Indeterminate;
    a.failure = "MaxSAT solver " + script + " gave no verdict";
  }
  return a;
}

}  // namespace

MaxSatAnswer runMaxSat(S5clauSet& cs, int worlds, const std::string& script, const InstanceFile& file) {
  Trans2SAT enc;
  enc.TranS52P_MAX_SAT(cs, worlds);
  std::string instance = writeInstance(enc, file.directory);
  if (instance.empty()) return failed(std::string("MaxSAT instance could not be written: ") + std::strerror(errno));
  MaxSatAnswer a = runScript(script, instance);
  bool kept = !file.keepAs.empty() && std::rename(instance.c_str(), file.keepAs.c_str()) == 0;
  if (!kept) unlink(instance.c_str());
  return a;
}

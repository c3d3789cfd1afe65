#include "FuzzTarget.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::vector<FuzzTargetEntry>& Targets() {
  // Built on first use: registrations run during static initialisation, in any order.
  static std::vector<FuzzTargetEntry> targets;
  return targets;
}

const char* inputName = nullptr;

}  // namespace

std::size_t FuzzTargetCount() { return Targets().size(); }
const FuzzTargetEntry& FuzzTargetAt(std::size_t index) { return Targets().at(index); }

bool RegisterFuzzTarget(const char* name, FuzzFunction run) {
  Targets().push_back({name, run});
  return true;
}

void SetFuzzInputName(const char* name) { inputName = name; }

void FuzzCheckFailed(const char* file, int line, const char* condition) {
  std::fprintf(stderr, "%s:%d: fuzz check failed: %s%s%s\n", file, line, condition,
               inputName ? " on input " : "", inputName ? inputName : "");
  std::fflush(stderr);
  std::abort();
}

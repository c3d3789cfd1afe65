// Every seed of every fuzz target, and every input that once made one fail, run through the same
// target function as the fuzzer runs it, in the ordinary build: a fault that comes back is caught
// without libFuzzer, by whichever compiler built the suite.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "FuzzTarget.h"

namespace fs = std::filesystem;

namespace {

std::vector<unsigned char> ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Both folders of a target, in a fixed order.
std::vector<fs::path> InputsOf(const std::string& target) {
  std::vector<fs::path> inputs;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path folder = fs::path(VELMORA_FUZZ_DIR) / kind / target;
    if (!fs::is_directory(folder)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

TEST(FuzzCorpus, EveryTargetHasSeedsAndPassesEachKeptInput) {
  ASSERT_GT(FuzzTargetCount(), 0u);
  std::set<std::string> names;
  for (std::size_t t = 0; t < FuzzTargetCount(); ++t) {
    const FuzzTargetEntry& target = FuzzTargetAt(t);
    names.insert(target.name);
    const std::vector<fs::path> inputs = InputsOf(target.name);
    EXPECT_GE(inputs.size(), 3u) << target.name << " has too few seeds";
    for (const fs::path& input : inputs) {
      const std::vector<unsigned char> bytes = ReadAll(input);
      const std::string name = input.string();
      SetFuzzInputName(name.c_str());
      // A failed check ends this program with the input's name.
      target.run(bytes.data(), bytes.size());
    }
    SetFuzzInputName(nullptr);
  }
  // Every corpus folder belongs to a target that exists.
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path folder = fs::path(VELMORA_FUZZ_DIR) / kind;
    if (!fs::is_directory(folder)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
      EXPECT_TRUE(names.count(entry.path().filename().string())) << entry.path();
  }
}

}  // namespace

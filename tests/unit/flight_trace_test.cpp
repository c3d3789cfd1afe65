// The same seed and frame times must give the same flight, byte for byte, in every build and on
// every platform. Each case runs flight-trace and compares every 500th line of its output (the
// header included) and a 64-bit FNV-1a digest of the whole output with a file kept in
// tests/data. A Windows program's text-mode stdout ends its lines with CR LF: they are read raw
// and turned into LF before anything is compared, so both platforms share one kept file.
// FLIGHT_TRACE (the tool) and FLIGHT_GOLDEN_DIR (tests/data) come from the build.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr int SampleEvery = 500;

std::string HostPath(const std::string& unixPath) {
#ifdef _WIN32
  // Under Wine the build folder's Unix paths are on drive Z:.
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
#else
  return unixPath;
#endif
}

// The tool's whole standard output, with LF line ends; false when it could not run or failed.
bool RunTrace(const std::string& arguments, std::string& output) {
  // Quoted for a build folder with spaces; cmd keeps a quoted program name followed by words.
  const std::string command = "\"" + HostPath(FLIGHT_TRACE) + "\" " + arguments;
#ifdef _WIN32
  FILE* pipe = _popen(command.c_str(), "rb");
#else
  FILE* pipe = popen(command.c_str(), "r");
#endif
  if (pipe == nullptr) return false;
  char buffer[1 << 16];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
#ifdef _WIN32
  const int status = _pclose(pipe);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < output.size(); ++i) {
    if (output[i] == '\r' && i + 1 < output.size() && output[i + 1] == '\n') continue;
    output[kept++] = output[i];
  }
  output.resize(kept);
#else
  const int status = pclose(pipe);
#endif
  return status == 0;
}

std::uint64_t Fnv1a64(const std::string& bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 0x100000001b3u;
  }
  return hash;
}

// The kept form of an output: a digest line, then lines 0, 500, 1000, ... of it.
std::string Sample(const std::string& output) {
  std::size_t lines = 0;
  std::string sampled;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line); ++lines) {
    if (lines % SampleEvery == 0) sampled += line + "\n";
  }
  char digest[96];
  std::snprintf(digest, sizeof digest, "# fnv1a64 %016llx, %zu bytes, %zu lines\n",
                static_cast<unsigned long long>(Fnv1a64(output)), output.size(), lines);
  return digest + sampled;
}

TEST(FlightTrace, OutputMatchesTheKeptTraceLineForLineAndByDigest) {
  struct Case {
    const char* kept;
    const char* arguments;
  };
  const Case cases[] = {
      {"flight-golden.csv", "--seed 20261209 --frames 100000 --elapsed 16"},
      // Frame times of 0 to 100 ms, from the tool's private generator.
      {"flight-golden-ragged.csv", "--seed 7 --frames 20000 --random-elapsed 100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kept);
    std::string output;
    ASSERT_TRUE(RunTrace(c.arguments, output)) << "flight-trace " << c.arguments << " failed";
    const std::string actual = Sample(output);

    std::ifstream keptFile(HostPath(std::string(FLIGHT_GOLDEN_DIR) + "/" + c.kept),
                           std::ios::binary);
    std::ostringstream kept;
    kept << keptFile.rdbuf();
    if (actual == kept.str()) continue;

    // Written beside the test for a look, or to replace the kept file when the flight changed
    // on purpose.
    const std::string actualPath = std::string(c.kept) + ".actual";
    std::ofstream(actualPath, std::ios::binary) << actual;
    ADD_FAILURE() << "flight-trace " << c.arguments << " differs from tests/data/" << c.kept
                  << (keptFile ? "" : " (unreadable)") << "; its sample is in " << actualPath;
    std::istringstream a(actual), k(kept.str());
    std::string actualLine, keptLine;
    for (int line = 1; std::getline(a, actualLine); ++line) {
      if (!std::getline(k, keptLine)) keptLine = "(none)";
      if (actualLine == keptLine) continue;
      ADD_FAILURE() << "line " << line << "\n  kept:   " << keptLine
                    << "\n  actual: " << actualLine;
      if (line > 1) break;  // the digest line, then the first sampled line that differs
    }
  }
}

}  // namespace

#pragma once
// What the benchmarks that run other programs share: a command line of blank-separated words
// with %w standing for a window id, starting it, a pidfd to wait on its end, and the processor
// time of a whole process (every thread) from /proc.
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace bench {

inline std::vector<std::string> Words(const std::string& command, unsigned long window) {
  std::vector<std::string> words;
  std::istringstream in(command);
  for (std::string word; in >> word;) {
    if (word == "%w") word = std::to_string(window);
    words.push_back(word);
  }
  return words;
}

// The child's pid, or -1. Its standard output goes to standard error, so that what the
// programs print never mixes with the figures.
inline pid_t Start(const std::string& command, unsigned long window) {
  std::vector<std::string> words = Words(command, window);
  if (words.empty()) return -1;
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    dup2(2, 1);
    execvp(argv[0], argv.data());
    std::perror(argv[0]);
    _exit(127);
  }
  return child;
}

// Readable (POLLIN) once the process has ended; -1 when the kernel has no pidfd.
inline int OpenPidFd(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }

// utime + stime of every thread of the process so far, in seconds; -1 when it is gone.
inline double ProcessorSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return -1;
  // The name in brackets may hold blanks: the fields are counted after its closing bracket.
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline double Worst(const std::vector<double>& v) {
  return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

}  // namespace bench

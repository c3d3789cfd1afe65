#ifndef _WIN32
#include "support/TempConfig.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

TempConfig::TempConfig() {
  std::string pattern = (fs::temp_directory_path() / "velmora-config.XXXXXX").string();
  root = mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
  SetHome((root / "home").string());
  SetSystemDirs((root / "system").string());
}

TempConfig::~TempConfig() {
  std::error_code ignored;
  fs::remove_all(root, ignored);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_CONFIG_DIRS");
}

fs::path TempConfig::UserFile() const { return fs::path(home) / "Korvantel/Velmora Screen Saver.conf"; }
fs::path TempConfig::SystemFile() const {
  return fs::path(system.substr(0, system.find(':'))) / "Korvantel/Velmora Screen Saver.conf";
}

void TempConfig::SetHome(const std::string& path) {
  home = path;
  setenv("XDG_CONFIG_HOME", path.c_str(), 1);
}

void TempConfig::SetSystemDirs(const std::string& list) {
  system = list;
  setenv("XDG_CONFIG_DIRS", list.c_str(), 1);
}

void TempConfig::Write(const fs::path& file, const std::string& content) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
}

std::string TempConfig::Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}
#endif  // _WIN32

#pragma once
// A private configuration tree for tests of the settings on X11: XDG_CONFIG_HOME and
// XDG_CONFIG_DIRS point into a fresh temporary folder for the object's life. Not on Win32.
#include <filesystem>
#include <string>

class TempConfig {
 public:
  TempConfig();
  ~TempConfig();
  TempConfig(const TempConfig&) = delete;
  TempConfig& operator=(const TempConfig&) = delete;

  const std::filesystem::path& Root() const { return root; }
  std::filesystem::path UserFile() const;    // <home>/Korvantel/Velmora Screen Saver.conf
  std::filesystem::path SystemFile() const;  // <system>/Korvantel/Velmora Screen Saver.conf
  void SetHome(const std::string& path);
  void SetSystemDirs(const std::string& list);

  static void Write(const std::filesystem::path& file, const std::string& content);
  static std::string Read(const std::filesystem::path& file);

 private:
  std::filesystem::path root;
  std::string home, system;
};

#include "platform/linux/GtkModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <optional>
#include <vector>

#include "platform/ModulePath.h"

namespace platform {
namespace {

constexpr const char* ModuleName = "velmora-gtk.so";

const char* chosenPath = nullptr;

std::string ExecutableFolder() {
  std::vector<char> path(ModulePath(nullptr, 0) + 1);
  if (path.size() == 1 || ModulePath(path.data(), path.size()) + 1 != path.size()) return {};
  const std::string whole(path.data());
  return whole.substr(0, whole.rfind('/'));
}

struct Loaded {
  const GtkModuleEntries* entries = nullptr;
  std::string reason;
};

Loaded Open(const std::string& path) {
  // Local: the toolkit's symbols stay out of the scope every later library is bound against.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) return {nullptr, std::string("cannot load ") + dlerror()};
  using EntriesFunction = const GtkModuleEntries* (*)();
  auto entry = reinterpret_cast<EntriesFunction>(dlsym(module, "VelmoraGtkModuleEntries"));
  const GtkModuleEntries* entries = entry ? entry() : nullptr;
  if (entries == nullptr || entries->version != GtkModuleVersion)
    return {nullptr, path + " is not this program's GTK module"};
  return {entries, {}};
}

Loaded Find() {
  if (chosenPath != nullptr) return Open(chosenPath);
  // Beside the executable (the build folder, or a copy that carries its module along), else where
  // the installation puts it, relative to the installed executable.
  const std::string folder = ExecutableFolder();
  if (folder.empty()) return {nullptr, "cannot find the program's own folder"};
  const std::string candidates[] = {folder + "/" + ModuleName,
                                    folder + "/" VELMORA_GTK_MODULE_DIR "/" + ModuleName};
  for (const std::string& path : candidates)
    if (access(path.c_str(), F_OK) == 0) return Open(path);
  return {nullptr, std::string("no ") + ModuleName + " in " + folder + " or " + folder +
                       "/" VELMORA_GTK_MODULE_DIR};
}

// Only the thread that shows the windows comes here.
std::optional<Loaded> loaded;

}  // namespace

const GtkModuleEntries* LoadGtkModule(std::string& reason) {
  if (!loaded) loaded = Find();
  reason = loaded->reason;
  return loaded->entries;
}

void UseGtkModule(const char* path) {
  chosenPath = path;
  loaded.reset();
}

}  // namespace platform

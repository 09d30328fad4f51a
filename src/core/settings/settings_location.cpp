#include "core/settings/settings_location.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "core/settings/settings.h"

namespace voxloom {

std::string settingsFilePath(const std::string& programFolder,
                             const std::function<std::optional<std::string>(const char*)>& getEnv) {
  const std::string beside = programFolder + "/" + kSettingsFileName;
  // Only a file already there makes a portable copy: a writable folder alone is no sign
  // (root may write to /usr/bin, a user to ~/.local/bin).
  struct stat info {};
  if (!programFolder.empty() && ::lstat(beside.c_str(), &info) == 0) return beside;

  std::string config;
  if (auto xdg = getEnv("XDG_CONFIG_HOME"); xdg && !xdg->empty() && (*xdg)[0] == '/') {
    config = *xdg;
  } else {
    std::string home;
    if (auto h = getEnv("HOME"); h && !h->empty()) {
      home = *h;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
      home = pw->pw_dir;
    }
    config = (home.empty() ? std::string("/tmp") : home) + "/.config";
  }
  return config + "/voxloom/" + kSettingsFileName;
}

std::string settingsFilePath(const std::string& programFolder) {
  return settingsFilePath(programFolder, [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  });
}

}  // namespace voxloom

#pragma once

#include <functional>
#include <optional>
#include <string>

namespace voxloom {

// Where the settings file lives: `voxloom.ini` in the program's folder when one is
// already there (a portable copy keeps its settings with it); otherwise
// $XDG_CONFIG_HOME/voxloom/voxloom.ini, where an unset or relative XDG_CONFIG_HOME means ~/.config.
// `getEnv` gives an environment variable (nothing when unset); tests pass their own.
std::string settingsFilePath(const std::string& programFolder,
                             const std::function<std::optional<std::string>(const char*)>& getEnv);
std::string settingsFilePath(const std::string& programFolder);

}  // namespace voxloom

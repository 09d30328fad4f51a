#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace voxloom {

// Options the window program takes before its file arguments.
struct WindowArguments {
  std::optional<std::uint64_t> seed;
  std::optional<std::string> settingsPath;
  std::vector<std::string> files;
  bool help = false;     // --help: print the usage and end
  bool version = false;  // --version: print the version and end
  std::string error;     // non-empty: the arguments could not be understood
};
WindowArguments parseWindowArguments(const std::vector<std::string>& args);
// What `voxloom --help` prints.
std::string windowUsageText();

}  // namespace voxloom

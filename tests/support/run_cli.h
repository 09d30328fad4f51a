#pragma once

#include <string>
#include <vector>

namespace voxloom::test {

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs voxloom-cli with the arguments (no shell involved) and captures its output.
CliResult runCli(const std::vector<std::string>& args);

// A path in the test's temporary folder with nothing at it yet.
std::string freshTempPath(const std::string& name);

// The whole file as bytes; empty when it cannot be read.
std::string readBytes(const std::string& path);

}  // namespace voxloom::test

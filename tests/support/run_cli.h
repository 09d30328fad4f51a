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

// Starts voxloom-cli without waiting for it: its standard output is `stdoutFd` (the
// caller's descriptor), its stderr goes to the file `errPath`. With `ignoreSigpipe` it
// starts with SIGPIPE ignored, as a parent that handles EPIPE itself leaves it.
int startCli(const std::vector<std::string>& args, int stdoutFd, const std::string& errPath,
             bool ignoreSigpipe = false);
// Waits for a started voxloom-cli: its exit status, or minus the signal that ended it.
int waitForCli(int pid);

// A path in the test's temporary folder with nothing at it yet.
std::string freshTempPath(const std::string& name);

// The whole file as bytes; empty when it cannot be read.
std::string readBytes(const std::string& path);

}  // namespace voxloom::test

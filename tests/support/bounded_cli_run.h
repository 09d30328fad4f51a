#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/support/run_cli.h"

namespace voxloom::test {

struct BoundedRun {
  CliResult cli;
  bool timedOut = false;  // ended by the time limit: it would have hung
  long peakKiB = 0;       // peak resident memory
};

// Runs voxloom-cli as runCli does, ended after `seconds` so a hang fails instead of
// stalling the suite, and measures its peak memory. With `asUser` >= 0 it runs as that
// user (tests run as root, whom file modes do not stop).
BoundedRun runCliBounded(const std::vector<std::string>& args, unsigned seconds, int asUser = -1);

// What `work` adds to the peak memory of a forked copy of this process, in KiB.
long extraPeakKiB(const std::function<void()>& work);

}  // namespace voxloom::test

#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/support/run_cli.h"

namespace voxloom::test {

struct BoundedRun {
  CliResult cli;
  bool timedOut = false;  // killed by the time limit: it would have hung
  long peakKiB = 0;       // the child's peak resident memory
};

// Runs voxloom-cli as runCli does, but ends it after `seconds` (so a hang fails a test
// instead of stalling the suite) and measures its peak memory. With `asUser` >= 0 the
// child runs under that user id (tests run as root, where file modes do not stop reads).
BoundedRun runCliBounded(const std::vector<std::string>& args, unsigned seconds = 10,
                         int asUser = -1);

// How much more memory `work` takes at its peak than doing nothing, in KiB: it runs in a
// forked child (which starts with this process's pages), measured by wait4.
long extraPeakKiB(const std::function<void()>& work);

}  // namespace voxloom::test

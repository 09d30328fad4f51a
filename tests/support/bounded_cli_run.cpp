#include "tests/support/bounded_cli_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "tests/support/riff_builder.h"

namespace voxloom::test {

namespace {

// Runs `child` in a forked process; its exit status and peak memory.
std::pair<int, long> forked(const std::function<void()>& child) {
  const pid_t pid = fork();
  if (pid == 0) {
    child();
    _exit(0);
  }
  int status = -1;
  struct rusage usage {};
  if (pid > 0) wait4(pid, &status, 0, &usage);
  return {status, usage.ru_maxrss};
}

}  // namespace

BoundedRun runCliBounded(const std::vector<std::string>& args, unsigned seconds, int asUser) {
  const std::string out = tempDir() + "/bounded.out", err = tempDir() + "/bounded.err";
  const auto [status, peak] = forked([&] {
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    if (asUser >= 0 && (setgid(asUser) != 0 || setuid(asUser) != 0)) _exit(126);
    alarm(seconds);  // survives exec
    std::vector<std::string> copies = args;
    std::vector<char*> argv{const_cast<char*>(VOXLOOM_CLI_PATH)};
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(VOXLOOM_CLI_PATH, argv.data());
    _exit(127);
  });
  BoundedRun run;
  run.cli.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.timedOut = WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM;
  run.peakKiB = peak;
  run.cli.out = readBytes(out);
  run.cli.err = readBytes(err);
  return run;
}

long extraPeakKiB(const std::function<void()>& work) {
  return forked(work).second - forked([] {}).second;
}

}  // namespace voxloom::test

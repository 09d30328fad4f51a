#include "tests/support/bounded_cli_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "tests/support/riff_builder.h"

namespace voxloom::test {

BoundedRun runCliBounded(const std::vector<std::string>& args, unsigned seconds, int asUser) {
  const std::string outPath = tempDir() + "/bounded_cli.out";
  const std::string errPath = tempDir() + "/bounded_cli.err";
  BoundedRun run;
  const pid_t child = fork();
  if (child < 0) return run;
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    if (asUser >= 0 &&
        (setgid(static_cast<gid_t>(asUser)) != 0 || setuid(static_cast<uid_t>(asUser)) != 0))
      _exit(126);
    alarm(seconds);  // survives exec: SIGALRM ends a run that hangs
    std::vector<char*> argv;
    std::string program = VOXLOOM_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  wait4(child, &status, 0, &usage);
  run.cli.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.timedOut = WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM;
  run.peakKiB = usage.ru_maxrss;
  const auto out = readWholeFile(outPath);
  const auto err = readWholeFile(errPath);
  run.cli.out.assign(out.begin(), out.end());
  run.cli.err.assign(err.begin(), err.end());
  return run;
}

namespace {

long childPeakKiB(const std::function<void()>& work) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    work();
    _exit(0);
  }
  int status = 0;
  struct rusage usage {};
  wait4(child, &status, 0, &usage);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
}

}  // namespace

long extraPeakKiB(const std::function<void()>& work) {
  const long base = childPeakKiB([] {});
  const long peak = childPeakKiB(work);
  return peak < 0 || base < 0 ? -1 : peak - base;
}

}  // namespace voxloom::test

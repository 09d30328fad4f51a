#include "tests/support/run_cli.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/riff_builder.h"

namespace voxloom::test {

CliResult runCli(const std::vector<std::string>& args) {
  const std::string outPath = tempDir() + "/cli.out";
  const std::string errPath = tempDir() + "/cli.err";
  CliResult result;
  const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int child = startCli(args, out, errPath);
  close(out);
  if (child < 0) return result;
  const int status = waitForCli(child);
  result.exitCode = status >= 0 ? status : -1;
  const auto outBytes = readWholeFile(outPath);
  const auto errBytes = readWholeFile(errPath);
  result.out.assign(outBytes.begin(), outBytes.end());
  result.err.assign(errBytes.begin(), errBytes.end());
  return result;
}

int startCli(const std::vector<std::string>& args, int stdoutFd, const std::string& errPath,
             bool ignoreSigpipe) {
  const pid_t child = fork();
  if (child != 0) return child;
  const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(stdoutFd, 1);
  dup2(err, 2);
  signal(SIGPIPE, ignoreSigpipe ? SIG_IGN : SIG_DFL);
  std::vector<char*> argv;
  std::string program = VOXLOOM_CLI_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

int waitForCli(int pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1000;
  return WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? -WTERMSIG(status) : -1000;
}

std::string freshTempPath(const std::string& name) {
  const std::string path = ::testing::TempDir() + name;
  std::filesystem::remove(path);
  return path;
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace voxloom::test

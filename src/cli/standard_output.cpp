#include "cli/standard_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <streambuf>

#include "cli/commands.h"
#include "core/util/write_fully.h"

namespace voxloom::cli {

namespace {

int gFirstError = 0;

ssize_t writeToDescriptor(void*, const char* data, std::size_t size) {
  if (gFirstError != 0) {
    errno = gFirstError;
    return -1;
  }
  std::size_t done = 0;
  errno = 0;
  if (!writeFully(STDOUT_FILENO, data, size, done)) {
    gFirstError = errno != 0 ? errno : EIO;
    errno = gFirstError;
    return -1;
  }
  return static_cast<ssize_t>(size);
}

// std::cout keeps the FILE it was made with; this one follows stdout.
class StdoutBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    return std::fputc(c, stdout) == EOF ? traits_type::eof() : c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    return static_cast<std::streamsize>(std::fwrite(s, 1, static_cast<std::size_t>(n), stdout));
  }
  int sync() override { return std::fflush(stdout) == 0 ? 0 : -1; }
};

}  // namespace

void captureStandardOutput() {
  FILE* out = fopencookie(nullptr, "w", {nullptr, writeToDescriptor, nullptr, nullptr});
  if (out == nullptr) return;  // stdout stays as it was: checked only at the end
  if (isatty(STDOUT_FILENO) == 1) std::setvbuf(out, nullptr, _IOLBF, BUFSIZ);
  stdout = out;
  // Never destroyed: the streams flush std::cout once more while the program ends,
  // after the destructors of this file's objects have run.
  static StdoutBuffer* const coutBuffer = new StdoutBuffer;
  std::cout.rdbuf(coutBuffer);
}

bool standardOutputFailed() {
  return gFirstError != 0 || std::ferror(stdout) != 0;
}

int finishStandardOutput(int exit) {
  std::cout.flush();
  errno = 0;
  if ((std::fflush(stdout) != 0 || std::ferror(stdout) != 0) && gFirstError == 0)
    gFirstError = errno != 0 ? errno : EIO;
  // A file system may report a failed write only when the file is closed. A descriptor
  // that was never open has nothing to report when nothing was written.
  if (::close(STDOUT_FILENO) != 0 && errno != EBADF && errno != EINTR && gFirstError == 0)
    gFirstError = errno;
  if (gFirstError == 0) return exit;
  if (gFirstError != EPIPE)
    std::cerr << "Error: Can't write to standard output: " << std::strerror(gFirstError) << ".\n";
  return kExitFailed;
}

}  // namespace voxloom::cli

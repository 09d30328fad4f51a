#include "core/util/replace_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "core/session/session_file.h"
#include "tests/support/riff_builder.h"

namespace voxloom {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeText(const std::string& path, const std::string& text, mode_t mode) {
  fs::remove(path);
  std::ofstream(path, std::ios::binary) << text;
  ::chmod(path.c_str(), mode);
}

mode_t modeOf(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info.st_mode & 07777;
}

// Temporary files left in a folder.
int leftovers(const std::string& folder) {
  int n = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    n += entry.path().filename().string().starts_with(".voxloom-");
  return n;
}

// Runs `body` in a child process as a user that is not root (root ignores the
// permissions under test) and returns its exit status, or -signal when a signal ended it.
int inChild(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(99);
    _exit(body());
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// A folder the child's user owns.
std::string childFolder(const std::string& name) {
  const std::string folder = test::tempDir() + "/" + name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  if (geteuid() == 0 && ::chown(folder.c_str(), kNobody, kNobody) != 0) ADD_FAILURE();
  return folder;
}

// Each case prepares its folder as the child's user, saves "new" over `target` and checks
// the result; the child's exit status is the first check that failed (0: all held).
struct SaveCase {
  const char* what;
  std::function<std::string(const std::string& folder)> prepare;  // returns the target
  bool saved;
  std::function<int(const std::string& folder, const std::string& target)> check;
};

TEST(ReplaceFile, SavesKeepTheirPromiseForEveryKindOfTarget) {
  const std::string longName(255, 'n');
  const SaveCase cases[] = {
      {"a read-only file is refused as a direct write is",
       [](const std::string& f) {
         writeText(f + "/ro.txt", "old", 0444);
         return f + "/ro.txt";
       },
       false,
       [](const std::string&, const std::string& t) { return readText(t) == "old" ? 0 : 1; }},
      {"a link is written through; the link stays and its file keeps its mode",
       [](const std::string& f) {
         fs::create_directories(f + "/real");
         writeText(f + "/real/file.txt", "old content", 0640);
         fs::create_symlink("real/file.txt", f + "/link.txt");
         return f + "/link.txt";
       },
       true,
       [](const std::string& f, const std::string& t) {
         if (!fs::is_symlink(t)) return 1;
         if (readText(f + "/real/file.txt") != "new") return 2;
         if (modeOf(f + "/real/file.txt") != 0640) return 3;
         return leftovers(f + "/real") == 0 ? 0 : 4;
       }},
      {"a link that points nowhere is refused",
       [](const std::string& f) {
         fs::create_symlink("missing.txt", f + "/dangling.txt");
         return f + "/dangling.txt";
       },
       false,
       [](const std::string& f, const std::string&) {
         return fs::exists(f + "/missing.txt") ? 1 : 0;
       }},
      {"a name of 255 bytes fits beside its temporary file",
       [&](const std::string& f) { return f + "/" + longName; }, true,
       [](const std::string&, const std::string& t) {
         return readText(t) == "new" && modeOf(t) == (0666 & ~::umask(022)) ? 0 : 1;
       }},
      {"a writable file in a folder that refuses new files is written in place",
       [](const std::string& f) {
         fs::create_directories(f + "/ro");
         writeText(f + "/ro/file.txt", "much longer old content", 0600);
         ::chmod((f + "/ro").c_str(), 0555);
         return f + "/ro/file.txt";
       },
       true,
       [](const std::string& f, const std::string& t) {
         ::chmod((f + "/ro").c_str(), 0755);
         return readText(t) == "new" && modeOf(t) == 0600 ? 0 : 1;
       }},
      {"no new file in a folder that refuses it",
       [](const std::string& f) {
         fs::create_directories(f + "/ro2");
         ::chmod((f + "/ro2").c_str(), 0555);
         return f + "/ro2/new.txt";
       },
       false, [](const std::string&, const std::string& t) { return fs::exists(t) ? 1 : 0; }},
  };
  for (const SaveCase& c : cases) {
    const std::string folder = childFolder("case");
    const int status = inChild([&] {
      ::umask(022);
      const std::string target = c.prepare(folder);
      const bool saved = writeFileAtomically(target, "new");
      if (saved != c.saved) return 50;
      if (leftovers(folder) != 0) return 51;
      return c.check(folder, target);
    });
    EXPECT_EQ(status, 0) << c.what;
  }
}

// A rename would give another user's file a new owner: such a file is written in place
// and keeps its owner and mode.
TEST(ReplaceFile, AnotherUsersFileKeepsItsOwnerAndMode) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make a file of another user";
  const std::string folder = childFolder("shared");
  const std::string target = folder + "/theirs.txt";
  writeText(target, "their old content", 0666);  // root's file, writable by all
  EXPECT_EQ(inChild([&] { return writeFileAtomically(target, "new") ? 0 : 1; }), 0);
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 0u);
  EXPECT_EQ(info.st_mode & 07777, 0666u);
  EXPECT_EQ(readText(target), "new");
  EXPECT_EQ(leftovers(folder), 0);
}

// Signals that end the program remove the temporary file of a save in progress; a write
// past the file-size limit fails instead of killing the program.
TEST(ReplaceFile, SignalsRemoveTheTemporaryFileAndFileSizeLimitsFailTheWrite) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const std::string folder = childFolder("signal");
    const std::string target = folder + "/out.wav";
    const int status = inChild([&] {
      writeText(target, "old", 0644);
      cleanUpTemporaryFilesOnSignals();
      SaveTarget save;
      const int fd = openSave(target, save);
      if (fd < 0 || save.inPlace() || ::write(fd, "partial", 7) != 7) return 1;
      if (leftovers(folder) != 1) return 2;
      std::raise(signal);
      return 3;  // not reached: the signal ends the process
    });
    EXPECT_EQ(status, -signal) << signal;
    EXPECT_EQ(leftovers(folder), 0) << signal;
    EXPECT_EQ(readText(target), "old") << signal;
  }

  const std::string folder = childFolder("limit");
  const std::string target = folder + "/out.evp";
  const int status = inChild([&] {
    writeText(target, "old", 0644);
    cleanUpTemporaryFilesOnSignals();
    const rlimit limit{1000, RLIM_INFINITY};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 1;
    return writeFileAtomically(target, std::string(5000, 'x')) ? 2 : 0;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(leftovers(folder), 0);
  EXPECT_EQ(readText(target), "old");
}

}  // namespace
}  // namespace voxloom

#include "core/util/replace_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "core/util/line_writer.h"
#include "core/util/write_fully.h"

namespace voxloom {

namespace {

// The temporary files being written, where a signal handler can find them without
// allocating or locking: a slot is claimed (Filling), its path copied, then published
// (Armed); the handler only reads Armed slots.
enum SlotState : int { kFree, kFilling, kArmed };

struct CleanupSlot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX] = {};
};

constexpr int kCleanupSlots = 8;
CleanupSlot cleanupSlots[kCleanupSlots];
static_assert(std::atomic<int>::is_always_lock_free);

int rememberTemporary(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kCleanupSlots; ++i) {
    int expected = kFree;
    if (cleanupSlots[i].state.compare_exchange_strong(expected, kFilling)) {
      std::memcpy(cleanupSlots[i].path, path.c_str(), path.size() + 1);
      cleanupSlots[i].state.store(kArmed);
      return i;
    }
  }
  return -1;  // more saves at once than slots: this one is not cleaned up on a signal
}

void forgetTemporary(int& slot) {
  if (slot >= 0) cleanupSlots[slot].state.store(kFree);
  slot = -1;
}

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file a save of `target` writes: the target itself, or what a link points to.
// Empty for a link that points nowhere.
std::string resolveLink(const std::string& target) {
  struct stat link {};
  if (lstat(target.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return target;
  char* real = realpath(target.c_str(), nullptr);
  if (real == nullptr) return {};
  std::string resolved(real);
  std::free(real);
  return resolved;
}

// Temporary names stay short so that a target name of any valid length has room.
int createTemporaryIn(const std::string& folder, std::string& temporary) {
  temporary = folder + "/.voxloom-XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) temporary.clear();
  return fd;
}

void setNewFileMode(int fd) {
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
}

}  // namespace

int openSave(const std::string& target, SaveTarget& save) {
  save = {};
  save.path = resolveLink(target);
  if (save.path.empty()) return -1;

  struct stat existing {};
  if (stat(save.path.c_str(), &existing) != 0) {
    if (errno != ENOENT) return -1;
    const int fd = createTemporaryIn(folderOf(save.path), save.temporary);
    if (fd < 0) return -1;  // the folder refuses a new file: so would a direct write
    setNewFileMode(fd);
    save.cleanupSlot = rememberTemporary(save.temporary);
    return fd;
  }
  if (!S_ISREG(existing.st_mode)) return -1;
  // Opening it for writing asks what a direct write asks: permissions, ACLs, a
  // read-only mount. Nothing is cut yet.
  const int direct = ::open(save.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (direct < 0) return -1;

  if (existing.st_uid == geteuid()) {
    const int fd = createTemporaryIn(folderOf(save.path), save.temporary);
    if (fd >= 0) {
      ::close(direct);
      fchmod(fd, existing.st_mode & 07777);
      if (fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0) {
        // Not a member of the file's group: the new file keeps the user's group.
      }
      save.cleanupSlot = rememberTemporary(save.temporary);
      return fd;
    }
    // Only a folder that refuses new files sends the save in place; a full disk would
    // fail there too, after destroying the old content.
    if (errno != EACCES && errno != EPERM && errno != EROFS) {
      ::close(direct);
      return -1;
    }
  }
  // In place: the file keeps its owner, mode and links.
  const int flags = fcntl(direct, F_GETFL);
  if (flags >= 0) fcntl(direct, F_SETFL, flags & ~O_NONBLOCK);
  return direct;
}

bool finishWriting(int fd, std::uint64_t length, const SaveTarget& save) {
  if (!save.inPlace()) return true;
  return ftruncate(fd, static_cast<off_t>(length)) == 0;
}

bool commitSave(SaveTarget& save) {
  if (save.inPlace()) return true;
  // Holding the old file open makes the rename only drop its name; the last close,
  // which frees its data, then happens off this thread.
  const int old = ::open(save.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  const bool renamed = std::rename(save.temporary.c_str(), save.path.c_str()) == 0;
  if (old >= 0) {
    try {
      std::thread([old] { ::close(old); }).detach();
    } catch (...) {
      ::close(old);  // no thread to be had: free it here
    }
  }
  if (!renamed) {
    abandonSave(save);
    return false;
  }
  forgetTemporary(save.cleanupSlot);
  save.temporary.clear();
  return true;
}

void abandonSave(SaveTarget& save) {
  if (!save.temporary.empty()) std::remove(save.temporary.c_str());
  forgetTemporary(save.cleanupSlot);
  save.temporary.clear();
}

void removeTemporaryFilesNow() noexcept {
  for (CleanupSlot& slot : cleanupSlots)
    if (slot.state.load() == kArmed) ::unlink(slot.path);
}

namespace {

void removeAndReraise(int signal) {
  const int savedErrno = errno;
  writePendingLinesNow();
  removeTemporaryFilesNow();
  // SA_RESETHAND restored the default action: the signal ends the process as it
  // would have, with the status a caller expects.
  std::raise(signal);
  errno = savedErrno;
}

}  // namespace

void cleanUpTemporaryFilesOnSignals() {
  struct sigaction action {};
  action.sa_handler = removeAndReraise;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    // A signal the caller ignores (nohup, a pipeline that handles EPIPE) stays ignored.
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
  std::signal(SIGXFSZ, SIG_IGN);
}

bool writeFileAtomically(const std::string& path, std::string_view text) {
  SaveTarget save;
  const int fd = openSave(path, save);
  if (fd < 0) return false;
  std::size_t written = 0;
  const bool finished =
      writeFully(fd, text.data(), text.size(), written) && finishWriting(fd, written, save);
  const bool closed = ::close(fd) == 0;
  if (!finished || !closed || !commitSave(save)) {
    abandonSave(save);
    return false;
  }
  return true;
}

}  // namespace voxloom

#include "core/util/output_guard.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>
#include <utility>

namespace voxloom {

namespace {

struct FileKey {
  bool exists = false;
  bool regular = false;
  dev_t device = 0;
  ino_t inode = 0;
  std::filesystem::path path;  // when it does not exist
};

FileKey keyOf(const std::string& path) {
  FileKey key;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    key.exists = true;
    key.regular = S_ISREG(st.st_mode);
    key.device = st.st_dev;
    key.inode = st.st_ino;
    return key;
  }
  // Resolving the folders that exist makes "./a", "dir/../a" and a linked folder agree.
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) {
    key.path = std::filesystem::path(path).lexically_normal();
    return key;
  }
  key.path = std::filesystem::weakly_canonical(absolute, error);
  if (error) key.path = absolute.lexically_normal();
  return key;
}

bool sameKey(const FileKey& a, const FileKey& b) {
  if (a.exists != b.exists) return false;
  if (a.exists) return a.regular && b.regular && a.device == b.device && a.inode == b.inode;
  return a.path == b.path;
}

}  // namespace

std::string FileClash::text() const {
  return "the " + outputRole + " and the " + otherRole + " are the same file '" + path + "'";
}

void OutputGuard::input(std::string role, std::string path) {
  if (!path.empty()) files_.push_back({std::move(role), std::move(path), false});
}

void OutputGuard::output(std::string role, std::string path) {
  if (!path.empty()) files_.push_back({std::move(role), std::move(path), true});
}

std::optional<FileClash> OutputGuard::check() const {
  std::vector<FileKey> keys;
  keys.reserve(files_.size());
  for (const Entry& e : files_) keys.push_back(keyOf(e.path));
  for (std::size_t i = 0; i < files_.size(); ++i) {
    if (!files_[i].output) continue;
    for (std::size_t j = 0; j < files_.size(); ++j) {
      // Two outputs meet once, from the first of them.
      if (j == i || (files_[j].output && j < i)) continue;
      if (sameKey(keys[i], keys[j]))
        return FileClash{files_[i].role, files_[j].role, files_[i].path};
    }
  }
  return std::nullopt;
}

}  // namespace voxloom

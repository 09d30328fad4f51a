#pragma once

#include <optional>
#include <string>
#include <vector>

namespace voxloom {

// Two files of one run that are the same file: an output and another file of the run.
struct FileClash {
  std::string outputRole;  // "log"
  std::string otherRole;   // "random number file"
  std::string path;        // the output as it was named

  // "the log and the random number file are the same file 'src.txt'"
  std::string text() const;
};

// What a run reads and writes, checked before anything is written: no output may be an
// input or another output of the same run, or writing it would destroy what the run
// still reads (or what another output wrote). A file both read and rewritten by the run
// (a session that gets a new record) is named once, as an output.
//
// Files that exist are compared by device and inode, so a link or another spelling of
// the path is caught; a name with nothing at it yet is compared by its absolute path,
// with the folders that exist resolved. Devices and other files that are not regular
// files never clash: writing to /dev/null twice destroys nothing.
class OutputGuard {
 public:
  // An empty path is no file and is left out.
  void input(std::string role, std::string path);
  void output(std::string role, std::string path);

  // The first clash, outputs in the order they were added.
  std::optional<FileClash> check() const;

 private:
  struct Entry {
    std::string role;
    std::string path;
    bool output = false;
  };
  std::vector<Entry> files_;
};

}  // namespace voxloom

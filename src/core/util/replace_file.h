#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace voxloom {

// Where a save writes and how its result takes the place of the saved file.
//
// The rules, in order:
// - A target that exists must be a regular file the user may write, as a direct write
//   would require; a read-only file is refused even where its folder would allow a
//   rename over it.
// - A symbolic link is written through: the file it points to is saved (atomically
//   beside that file) and the link stays. A link that points nowhere is refused.
// - The new content goes to a temporary file with a short name in the same folder and is
//   renamed over the target when complete, so a failed save leaves the old file as it
//   was. The temporary file takes the old file's mode (or the usual mode of a new file).
// - The file is written in place instead (truncated only at the end) when the folder
//   refuses a new file, and when the file belongs to another user: a rename would give
//   it a new owner. A write that fails half-way there leaves the file damaged; no other
//   way is open.
struct SaveTarget {
  std::string path;       // the file saved: the target, or the file a link points to
  std::string temporary;  // renamed over `path` at the end; empty when writing in place
  int cleanupSlot = -1;   // where the signal clean-up knows the temporary file

  bool inPlace() const { return temporary.empty(); }
};

// Opens the file a save of `target` writes; -1 when a direct write would fail as well
// (or the target is not a regular file, or a link that points nowhere).
int openSave(const std::string& target, SaveTarget& save);

// Ends the writing while the descriptor is still open: in place, cuts the file to the
// `length` bytes written. False when that fails.
bool finishWriting(int fd, std::uint64_t length, const SaveTarget& save);

// After the descriptor was closed: puts the temporary file in place. Freeing the
// replaced file's pages can take tens of milliseconds for a large file; that work is
// handed to a background thread, so a save does not wait for it.
bool commitSave(SaveTarget& save);

// After the descriptor was closed: removes the temporary file of a failed save.
void abandonSave(SaveTarget& save);

// Removes the temporary files of the saves in progress and nothing else; safe to call
// from a signal handler.
void removeTemporaryFilesNow() noexcept;

// Makes SIGINT, SIGTERM, SIGHUP and SIGPIPE write the pending lines of the logs
// (writePendingLinesNow) and remove the temporary files of the saves in progress before
// they end the process as usual; a signal ignored when this is called stays ignored.
// Ignores SIGXFSZ so that a write past the file-size limit fails with an error instead
// of killing the process.
void cleanUpTemporaryFilesOnSignals();

// Writes `text` to `path` by the rules above: beside it under a temporary name,
// renamed over it only when complete, so a failed save keeps the previous file. False
// when that fails.
bool writeFileAtomically(const std::string& path, std::string_view text);

}  // namespace voxloom

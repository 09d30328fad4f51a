#pragma once

#include <string>

namespace voxloom {

// Creates an empty temporary file beside `target`, with the permissions of the file it
// will replace (or the usual ones of a new file). Returns its descriptor and sets
// `temporary` to its path; -1 when that is not possible, also when `target` exists but
// is not a regular file.
int createTemporaryBeside(const std::string& target, std::string& temporary);

// Puts a finished temporary file in place of `target` (same folder, so the rename is
// atomic). Freeing the replaced file's pages can take tens of milliseconds for a large
// file; that work is handed to a background thread, so a save does not wait for it.
bool replaceFile(const std::string& temporary, const std::string& target);

}  // namespace voxloom

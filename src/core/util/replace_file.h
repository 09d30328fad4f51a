#pragma once

#include <string>

namespace voxloom {

// Puts a finished temporary file in place of `target` (same folder, so the rename is
// atomic). Freeing the replaced file's pages can take tens of milliseconds for a large
// file; that work is handed to a background thread, so a save does not wait for it.
bool replaceFile(const std::string& temporary, const std::string& target);

}  // namespace voxloom

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace voxloom {

// The draws behind one block of an EVP, kept for its provenance: the raw values as the
// random log writes them, and the integer each draw gave.
struct DrawTrace {
  std::vector<std::string> raw;
  std::vector<std::int32_t> mapped;

  void clear() {
    raw.clear();
    mapped.clear();
  }
};

}  // namespace voxloom

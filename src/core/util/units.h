#pragma once

#include <cstdint>

namespace voxloom {

// Units named in types: a frame index is not a byte count.
using Frames = std::int32_t;  // sample frames (one sample per channel)
using Bytes = std::int32_t;   // bytes of sample data
using Rate = std::int32_t;    // sample frames per second

}  // namespace voxloom

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/source_options.h"
#include "core/engine/segment_options.h"

namespace voxloom::cli {

// How the blocks of an EVP are cut and joined: the options shared by make-evp and study.
struct EvpShapeOptions {
  std::optional<int> from;
  std::optional<int> to;
  bool overlap = false;
  bool noZeroCross = false;
  bool cueList = false;
  std::optional<int> fadeMode;
};

inline constexpr const char* kEvpShapeUsage =
    "[--from MS] [--to MS] [--overlap] [--no-zero-cross] [--cue-list] [--xfade MODE]";

// Looks at args[i] as takeSourceOption does.
OptionTake takeEvpShapeOption(const std::vector<std::string>& args, std::size_t& i,
                              EvpShapeOptions& out, std::string& error);

// The options as the window starts with them, then what the arguments change; an
// option counts only where the enabling rules of the segment controls allow it.
void applyEvpShapeOptions(const EvpShapeOptions& a, SegmentOptions& o, Frames cueCount);

}  // namespace voxloom::cli

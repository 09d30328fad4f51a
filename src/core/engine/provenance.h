#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/random/draw_trace.h"
#include "core/util/json_text.h"
#include "core/util/units.h"

namespace voxloom {

// Where one block of an EVP came from: the draws behind it, what was cut and how
// healthy the source looked at that draw.
struct ProvenanceBlock {
  std::int32_t block = 0;  // from 1
  int sourceKind = 0;      // RandomSourceKind as its stored integer
  DrawTrace draws;
  Frames start = 0;  // after the zero-cross adjustment
  Frames length = 0;
  std::int32_t segmentNumber = 0;
  std::string label;  // the cue's label in cue-list mode, else empty
  bool cueList = false;
  bool fade = false;
  std::string health;  // healthStateText at the block's last draw
};

// The stable name of a source kind ("pseudo", "soundcard", ... "device" for 7); "unknown"
// for anything else. Takes the integer so names stay fixed when kinds are added.
const char* sourceKindName(int kind);

// Whether `text` is a number as JSON writes it, so it can be written unquoted.
bool isJsonNumber(std::string_view text);

// One JSON object, no line end.
std::string provenanceLine(const ProvenanceBlock& block);
// One line per block, each ended by "\n".
std::string provenanceJsonl(const std::vector<ProvenanceBlock>& blocks);

}  // namespace voxloom

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include <string>

#include "core/engine/provenance.h"
#include "core/engine/segment_sequencer.h"

namespace voxloom {

// When an offline EVP ends: after exactly `blocks` blocks, or after the block with
// which the total length first reaches `frames`.
struct OfflineEvpLimit {
  std::optional<std::int64_t> blocks;
  std::int64_t frames = 0;
  // Whether an EVP of this many frames in this many blocks can still be written; the
  // run ends as TooLarge before a block that would not fit. Empty: no bound.
  std::function<bool(std::int64_t frames, std::int64_t blocks)> fits;
};

enum class OfflineEvpStatus {
  Done,
  NoPick,        // no segment can be cut; see pickStatus
  SourceFailed,  // the random source raised the stop request (it showed its message)
  WriteFailed,   // the sink refused the bytes
  TooLarge,      // the next block would not fit (see OfflineEvpLimit::fits)
};

// One block of the EVP as a session would record it.
struct OfflineEvpEntry {
  Frames start = 0;  // after the zero-cross adjustment
  Frames length = 0;
  std::int32_t serial = 0;  // from 1
  std::int32_t segmentNumber = 0;
  bool fade = false;
  std::string label;
};

struct OfflineEvpResult {
  OfflineEvpStatus status = OfflineEvpStatus::Done;
  PickStatus pickStatus = PickStatus::Ok;
  std::vector<OfflineEvpEntry> entries;  // one per block written
  std::int64_t frames = 0;
};

// Makes blocks one after another exactly as Make EVP queues them (nothing is in flight,
// so every block counts) and hands their bytes to `sink`. The caller has set the
// options, the segment table's frame counts and the renderer's prevEnd to -1. With
// `provenance`, one block is appended to it per block written.
OfflineEvpResult generateOfflineEvp(SequencerContext& context, const OfflineEvpLimit& limit,
                                    const std::function<bool(std::span<const std::uint8_t>)>& sink,
                                    std::vector<ProvenanceBlock>* provenance = nullptr);

}  // namespace voxloom

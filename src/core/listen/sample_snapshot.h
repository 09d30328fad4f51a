#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/ports/speech_listener.h"

namespace voxloom {

// A copy of a document's samples, taken on the window's thread, so that a listening in
// the background never reads a buffer that an edit or a close frees meanwhile.
struct SampleSnapshot {
  std::vector<std::uint8_t> bytes;  // as the document stores them
  int bitsPerSample = 16;
  int channels = 1;
  std::uint32_t rate = 0;
  std::int64_t frames = 0;
};

SampleSnapshot snapshotOf(const AudioDocument& doc);

// Whether the document still holds exactly the samples of the snapshot.
bool sameSamples(const SampleSnapshot& snapshot, const AudioDocument& doc);

// The snapshot's samples as 16-bit values: 8-bit samples are scaled up, other widths
// read as silence.
class SnapshotPcmSource final : public PcmSource {
 public:
  explicit SnapshotPcmSource(std::shared_ptr<const SampleSnapshot> snapshot)
      : snapshot_(std::move(snapshot)) {}
  std::uint32_t rate() const override { return snapshot_->rate; }
  int channels() const override { return snapshot_->channels; }
  std::int64_t totalFrames() const override { return snapshot_->frames; }
  std::size_t read(std::int16_t* out, std::size_t frames) override;

 private:
  std::shared_ptr<const SampleSnapshot> snapshot_;
  std::int64_t at_ = 0;
};

}  // namespace voxloom

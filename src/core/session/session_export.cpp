#include "core/session/session_export.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

#include "core/audio/riff.h"
#include "core/engine/cross_fade_renderer.h"
#include "core/session/session_stamp.h"

namespace voxloom {

namespace {

// The part of an entry that sounds, cut to the signal exactly as a replay cuts it: a
// cross-faded entry keeps its start (frames outside the signal render as silence) but is
// no longer than the signal; a plain entry keeps only its frames inside the signal. A
// damaged session thus cannot ask for gigabytes of silence.
struct PlayedPart {
  std::int64_t start = 0;
  std::int64_t frames = 0;
};

PlayedPart playedPart(const EvpSegmentEntry& e, std::int64_t frameCount) {
  const std::int64_t length = std::max<std::int64_t>(e.length, 0);
  if (e.fade) return {e.start, std::min(length, frameCount)};
  const std::int64_t first = std::clamp<std::int64_t>(e.start, 0, frameCount);
  const std::int64_t end =
      std::clamp<std::int64_t>(std::int64_t{e.start} + length, first, frameCount);
  return {first, end - first};
}

class EvpSampleWriter {
 public:
  EvpSampleWriter(WavWriter& writer, const AudioDocument& doc)
      : writer_(writer), doc_(doc), silence_(1 << 16, doc.format.bitsPerSample == 8 ? 0x80 : 0) {}

  bool copy(std::int64_t start, std::int64_t frames) {
    const std::int64_t end = start + frames;
    const std::int64_t validFirst = std::clamp<std::int64_t>(start, 0, doc_.frameCount);
    const std::int64_t validEnd = std::clamp<std::int64_t>(end, validFirst, doc_.frameCount);
    if (validEnd <= validFirst) return writeSilence(frames);
    return writeSilence(validFirst - start) &&
           writer_.writeSamples(
               {doc_.samples.get() + validFirst * doc_.frameBytes,
                static_cast<std::size_t>((validEnd - validFirst) * doc_.frameBytes)}) &&
           writeSilence(end - validEnd);
  }

  bool writeSilence(std::int64_t frames) {
    std::uint64_t bytes = static_cast<std::uint64_t>(std::max<std::int64_t>(frames, 0)) *
                          static_cast<std::uint64_t>(doc_.frameBytes);
    while (bytes > 0) {
      const std::size_t n =
          static_cast<std::size_t>(std::min<std::uint64_t>(bytes, silence_.size()));
      if (!writer_.writeSamples({silence_.data(), n})) return false;
      bytes -= n;
    }
    return true;
  }

 private:
  WavWriter& writer_;
  const AudioDocument& doc_;
  std::vector<std::uint8_t> silence_;
};

}  // namespace

bool evpFitsWavFile(std::uint64_t dataBytes, std::uint64_t cues) {
  // Each cue at its largest: cue entry, ltxt, and labl and note with their longest texts.
  constexpr std::uint64_t kPerCue = 24 + 28 + 2 * (12 + 256);
  constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max();
  if (dataBytes > kLimit || cues > kLimit / kPerCue) return false;
  return 44 + dataBytes + 12 + 12 + cues * kPerCue <= kLimit;
}

std::string exportFileName(const Session& session) {
  std::string base;
  if (!session.fileName.empty()) {
    base = fileNamePart(session.fileName);
  } else if (!session.records.empty()) {
    base = stampToFileName(session.records.front().dateTime);
  }
  const auto dot = base.find_last_of('.');
  if (dot != std::string::npos) base.erase(dot);
  char number[32];
  std::snprintf(number, sizeof number, "-%.3d.wav", session.currentIndex + 1);
  return base + number;
}

std::string evpLabelText(const EvpSegmentEntry& entry) {
  std::string text = "Segment " + std::to_string(entry.serial);
  if (!entry.label.empty()) text += " (\"" + entry.label + "\")";
  return text;
}

std::string evpNoteText(const EvpSegmentEntry& entry, const std::string& wavPath, Rate rate) {
  const double r = static_cast<double>(rate);
  const double start = static_cast<double>(entry.start);
  const double length = static_cast<double>(entry.length);
  return "File: " + fileNamePart(wavPath) + ", Time: " + timeText(length / r) + " (" +
         timeText(start / r) + " - " + timeText((start + length) / r) +
         "), Segment/Cue: " + std::to_string(entry.segmentNumber);
}

WavWriteStatus writeEvpWav(const std::string& path, AudioDocument& doc, const EvpRecord& record,
                           const std::string& wavPath, int fadeMode) {
  if (!doc.isLoaded || doc.frameBytes <= 0 || doc.samples == nullptr)
    return WavWriteStatus::WriteFailed;
  std::uint64_t totalFrames = 0;
  for (const EvpSegmentEntry& e : record.segments)
    totalFrames += static_cast<std::uint64_t>(playedPart(e, doc.frameCount).frames);
  if (!evpFitsWavFile(totalFrames * static_cast<std::uint64_t>(doc.frameBytes),
                      record.segments.size()))
    return WavWriteStatus::TooLarge;

  doc.format.samplesPerSec = static_cast<std::uint32_t>(doc.nominalRate);
  WavWriter writer;
  const WavWriteStatus opened = writer.begin(path, doc.format);
  if (opened != WavWriteStatus::Written) return opened;

  // An export starts like a replay: the first cross-faded entry has no outgoing part.
  RendererState renderer;
  renderer.fadeMode = fadeMode;
  renderer.prevEnd = -1;
  EvpSampleWriter samples(writer, doc);
  std::vector<WavCue> cues;
  cues.reserve(record.segments.size());
  std::uint32_t position = 0;
  for (const EvpSegmentEntry& e : record.segments) {
    const PlayedPart part = playedPart(e, doc.frameCount);
    const auto frames = static_cast<Frames>(part.frames);  // no longer than the signal
    bool ok = true;
    if (e.fade && frames > 0) {
      Frames start = e.start;
      const std::uint8_t* block = renderCrossFade(renderer, doc, 0, start, frames);
      ok = block != nullptr &&
           writer.writeSamples({block, static_cast<std::size_t>(frames) *
                                           static_cast<std::size_t>(doc.frameBytes)});
    } else {
      ok = samples.copy(part.start, frames);
    }
    if (!ok) return WavWriteStatus::WriteFailed;
    cues.push_back({static_cast<std::uint32_t>(e.serial), position,
                    static_cast<std::uint32_t>(frames), fourCC("rgn"), evpLabelText(e),
                    evpNoteText(e, wavPath, doc.nominalRate)});
    position += static_cast<std::uint32_t>(frames);
  }
  renderer.freeRenderBuffers();
  return writer.finish(cues);
}

}  // namespace voxloom

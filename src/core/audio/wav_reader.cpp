#include "core/audio/wav_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "core/audio/riff.h"
#include "core/util/little_endian.h"
#include "core/util/text_encoding.h"

namespace voxloom {

std::string shortDataText(std::int64_t loaded, std::int64_t claimed) {
  return "This WAV file is shorter than its header says: " + std::to_string(loaded) + " of " +
         std::to_string(claimed) + " sample bytes were loaded.";
}

std::string dataTooLargeText(std::int64_t bytes) {
  return "The sample data of this WAV file (" + std::to_string(bytes) +
         " bytes) is larger than 2 GB. Voxloom can only process WAV files with up to "
         "2147483647 bytes of samples.";
}

std::string noMemoryText(std::int64_t bytes) {
  return "There is not enough memory to load the " + std::to_string(bytes) +
         " bytes of samples of this WAV file.";
}

std::string rateTooHighText(std::uint32_t rate) {
  return "The sample rate of this WAV file (" + std::to_string(rate) +
         " Hz) is too high. Voxloom can only process WAV files with up to 2147483647 samples "
         "per second.";
}

namespace {

constexpr std::size_t kCueRecordBytes = 24;

// Reads min(size, N) bytes of a chunk body into a zero-filled buffer.
template <std::size_t N>
std::array<std::uint8_t, N> readBody(ByteStream& stream, const ChunkInfo& chunk) {
  std::array<std::uint8_t, N> body{};
  stream.read(body.data(), std::min<std::size_t>(chunk.size, N));
  return body;
}

// Texts attach to the first cue carrying their identifier; 0 never matches.
class CueIndex {
 public:
  explicit CueIndex(std::vector<CuePoint>& cues) : cues_(cues) {
    for (std::size_t i = 0; i < cues.size(); ++i)
      if (cues[i].id != 0) first_.try_emplace(cues[i].id, i);
  }
  CuePoint* find(std::uint32_t id) {
    if (id == 0) return nullptr;
    const auto it = first_.find(id);
    return it == first_.end() ? nullptr : &cues_[it->second];
  }

 private:
  std::vector<CuePoint>& cues_;
  std::unordered_map<std::uint32_t, std::size_t> first_;
};

// Runs one pass over the LIST chunk: every chunk of code `code` is handed to `use`.
template <typename Use>
void forEachInList(ByteStream& stream, const ChunkInfo& list, const char* code, Use use) {
  for (;;) {
    ChunkInfo chunk;
    chunk.id = fourCC(code);
    if (!descendChunk(stream, chunk, &list)) return;
    use(chunk);
    if (ascendChunk(stream, chunk)) return;
  }
}

void readCueTexts(ByteStream& stream, AudioDocument& doc) {
  ChunkInfo list;
  list.id = fourCC("LIST");
  if (!descendChunk(stream, list, nullptr)) {
    doc.clearCues();  // cue points without their list are not loaded
    return;
  }
  CueIndex index(doc.cues);

  forEachInList(stream, list, "ltxt", [&](const ChunkInfo& chunk) {
    const auto body = readBody<20>(stream, chunk);
    if (CuePoint* cue = index.find(getLe32(&body[0]))) {
      cue->length = static_cast<Frames>(getLe32(&body[4]));
      cue->purpose = fourCCText(getLe32(&body[8]));
      if (cue->purpose.empty()) cue->purpose = "rgn";
    }
  });

  const auto readTexts = [&](const char* code, std::string CuePoint::*field) {
    stream.seek(static_cast<std::int64_t>(list.dataOffset) + 4);
    forEachInList(stream, list, code, [&](const ChunkInfo& chunk) {
      const auto body = readBody<4 + 256>(stream, chunk);
      const char* text = reinterpret_cast<const char*>(&body[4]);
      if (CuePoint* cue = index.find(getLe32(&body[0])))
        cue->*field = fileTextToUtf8(std::string_view(text, strnlen(text, 256)));
    });
  };
  readTexts("labl", &CuePoint::label);
  readTexts("note", &CuePoint::note);
}

// Reads the cue chunk's records; returns false when count and size disagree.
bool readCuePoints(ByteStream& stream, const ChunkInfo& cueChunk, AudioDocument& doc) {
  std::uint8_t countBytes[4] = {};
  stream.read(countBytes, 4);
  const std::uint32_t count = getLe32(countBytes);
  if (count == 0) return true;
  if (static_cast<std::uint64_t>(count) * kCueRecordBytes + 4 != cueChunk.size) return false;
  // Never trust the count beyond what the file holds.
  const auto available = static_cast<std::uint64_t>(stream.remaining()) / kCueRecordBytes;
  doc.cues.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(count, available)));
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint8_t record[kCueRecordBytes];
    if (stream.read(record, kCueRecordBytes) != kCueRecordBytes) break;
    CuePoint cue;
    cue.id = getLe32(&record[0]);
    cue.position = static_cast<Frames>(getLe32(&record[20]));
    doc.cues.push_back(std::move(cue));
  }
  return true;
}

}  // namespace

WavLoadOutcome loadWav(ByteStream& stream, AudioDocument& doc, const std::string& path) {
  WavLoadOutcome outcome;
  const auto missing = [&](const char* name) {
    outcome.status = WavLoadStatus::MissingChunk;
    outcome.chunk = name;
    return outcome;
  };

  ChunkInfo riff;
  riff.id = fourCC("RIFF");
  if (!descendChunk(stream, riff, nullptr)) return missing("RIFF");

  ChunkInfo fmt;
  fmt.id = fourCC("fmt");
  if (!descendChunk(stream, fmt, &riff)) return missing("fmt");
  std::array<std::uint8_t, WaveFormat::kBytes> formatBytes{};
  stream.read(formatBytes.data(), std::min<std::size_t>(fmt.size, WaveFormat::kBytes));
  doc.format = WaveFormat::fromBytes(formatBytes);
  if (ascendChunk(stream, fmt)) return missing("fmt");
  // Rates are signed 32-bit numbers throughout (times, the device, the status bar):
  // refuse a larger one before its samples are read.
  if (doc.format.samplesPerSec > static_cast<std::uint32_t>(std::numeric_limits<Rate>::max())) {
    outcome.status = WavLoadStatus::RateTooHigh;
    outcome.rateFound = doc.format.samplesPerSec;
    doc.format = {};
    return outcome;
  }

  ChunkInfo data;
  data.id = fourCC("data");
  if (!descendChunk(stream, data, &riff)) return missing("data");

  // A data chunk that claims more than the file holds yields the bytes really there.
  const std::int64_t bytes = std::min<std::int64_t>(data.size, stream.remaining());
  outcome.dataBytesFound = bytes;
  outcome.dataBytesClaimed = data.size;
  if (bytes > std::numeric_limits<Bytes>::max()) {
    outcome.status = WavLoadStatus::DataTooLarge;
    return outcome;
  }
  doc.allocateSamples(static_cast<Bytes>(bytes));
  if (!doc.samples) {
    doc.dataBytes = 0;
    outcome.status = WavLoadStatus::NoMemory;
    return outcome;
  }
  doc.dataBytes =
      static_cast<Bytes>(stream.read(doc.samples.get(), static_cast<std::size_t>(bytes)));
  doc.clearCues();

  if (!ascendChunk(stream, data)) {
    ChunkInfo cue;
    cue.id = fourCC("cue");
    if (descendChunk(stream, cue, &riff)) {
      if (!readCuePoints(stream, cue, doc)) {
        outcome.cueCountMismatch = true;
      } else if (!doc.cues.empty() && !ascendChunk(stream, cue)) {
        readCueTexts(stream, doc);
      }
    }
  }

  if (!doc.format.isStandardPcm()) {
    doc.resetDocument();
    outcome.status = WavLoadStatus::NotStandardPcm;
    return outcome;
  }
  doc.setUpDocument(path, true);
  return outcome;
}

}  // namespace voxloom

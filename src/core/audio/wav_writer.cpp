#include "core/audio/wav_writer.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "core/audio/riff.h"
#include "core/util/little_endian.h"
#include "core/util/replace_file.h"
#include "core/util/text_encoding.h"

namespace voxloom {

std::string cannotOpenForWritingText(const std::string& path) {
  return "Can't open WAV file '" + path + "' for writing.";
}

std::string cannotWriteText(const std::string& path) {
  return "Can't write to WAV file '" + path + "'.";
}

namespace {

constexpr long kRiffSizeOffset = 4;
constexpr long kDataSizeOffset = 40;

void append32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  const std::size_t at = out.size();
  out.resize(at + 4);
  putLe32(&out[at], v);
}

void appendCode(std::vector<std::uint8_t>& out, const char* code) {
  append32(out, fourCC(code));
}

// labl/note: identifier, text, NUL, and one more NUL when that leaves an odd length.
void appendTextChunk(std::vector<std::uint8_t>& out, const char* code, std::uint32_t id,
                     const std::string& text) {
  const std::string cut = cutUtf8(text, kMaxCueTextBytes);
  const std::size_t padded = (cut.size() + 2) & ~std::size_t{1};
  appendCode(out, code);
  append32(out, static_cast<std::uint32_t>(padded + 4));
  append32(out, id);
  out.insert(out.end(), cut.begin(), cut.end());
  out.insert(out.end(), padded - cut.size(), 0);
}

bool patch32(std::FILE* f, long offset, std::uint32_t value) {
  std::uint8_t b[4];
  putLe32(b, value);
  return std::fseek(f, offset, SEEK_SET) == 0 && std::fwrite(b, 1, 4, f) == 4;
}

}  // namespace

WavWriter::~WavWriter() {
  discard();
}

void WavWriter::discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  abandonSave(save_);
}

WavWriteStatus WavWriter::begin(const std::string& path, const WaveFormat& format) {
  discard();
  path_ = path;
  dataBytes_ = 0;
  failed_ = false;

  const int fd = openSave(path, save_);
  if (fd < 0) return WavWriteStatus::CannotOpen;
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    abandonSave(save_);
    return WavWriteStatus::CannotOpen;
  }
  std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);

  std::vector<std::uint8_t> head;
  appendCode(head, "RIFF");
  append32(head, 0);
  appendCode(head, "WAVE");
  appendCode(head, "fmt");
  append32(head, 16);
  const auto formatBytes = format.toBytes();
  head.insert(head.end(), formatBytes.begin(), formatBytes.begin() + 16);
  appendCode(head, "data");
  append32(head, 0);
  if (std::fwrite(head.data(), 1, head.size(), file_) != head.size()) {
    discard();
    return WavWriteStatus::WriteFailed;
  }
  return WavWriteStatus::Written;
}

bool WavWriter::writeSamples(std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr || failed_) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
    failed_ = true;
  dataBytes_ += bytes.size();
  return !failed_;
}

namespace {

// The cue chunk and the LIST chunk with the cues' texts.
std::vector<std::uint8_t> cueChunks(std::span<const WavCue> cues) {
  std::vector<std::uint8_t> tail;
  appendCode(tail, "cue");
  append32(tail, static_cast<std::uint32_t>(cues.size() * 24 + 4));
  append32(tail, static_cast<std::uint32_t>(cues.size()));
  for (const WavCue& cue : cues) {
    append32(tail, cue.id);
    append32(tail, cue.position);
    appendCode(tail, "data");
    append32(tail, 0);
    append32(tail, 0);
    append32(tail, cue.position);
  }
  const std::size_t listHeader = tail.size();
  appendCode(tail, "LIST");
  append32(tail, 0);
  appendCode(tail, "adtl");
  for (const WavCue& cue : cues) {
    appendCode(tail, "ltxt");
    append32(tail, 20);
    append32(tail, cue.id);
    append32(tail, cue.sampleLength);
    append32(tail, cue.purpose);
    tail.insert(tail.end(), 8, 0);  // country, language, dialect, code page
    appendTextChunk(tail, "labl", cue.id, cue.label);
    appendTextChunk(tail, "note", cue.id, cue.note);
  }
  putLe32(&tail[listHeader + 4], static_cast<std::uint32_t>(tail.size() - listHeader - 8));
  return tail;
}

bool fitsRiffSize(std::uint64_t dataBytes, std::uint64_t tailBytes) {
  return 44 + dataBytes + tailBytes - 8 <= 0xFFFFFFFFu;
}

}  // namespace

bool wavFileFits(std::uint64_t dataBytes, std::span<const WavCue> cues) {
  return fitsRiffSize(dataBytes, cueChunks(cues).size());
}

WavWriteStatus WavWriter::finish(std::span<const WavCue> cues) {
  if (file_ == nullptr) return WavWriteStatus::WriteFailed;
  const std::vector<std::uint8_t> tail = cueChunks(cues);
  const std::uint64_t fileSize = 44 + dataBytes_ + tail.size();
  if (!fitsRiffSize(dataBytes_, tail.size())) {
    discard();
    return WavWriteStatus::TooLarge;
  }
  const bool ok = !failed_ && std::fwrite(tail.data(), 1, tail.size(), file_) == tail.size() &&
                  patch32(file_, kRiffSizeOffset, static_cast<std::uint32_t>(fileSize - 8)) &&
                  patch32(file_, kDataSizeOffset, static_cast<std::uint32_t>(dataBytes_)) &&
                  std::fflush(file_) == 0 && finishWriting(fileno(file_), fileSize, save_);
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!ok || !closed || !commitSave(save_)) {
    discard();
    return WavWriteStatus::WriteFailed;
  }
  return WavWriteStatus::Written;
}

WavWriteStatus writeDocumentWav(const std::string& path, AudioDocument& doc) {
  std::vector<WavCue> cues;
  cues.reserve(doc.cues.size());
  for (const CuePoint& c : doc.cues) {
    cues.push_back({c.id, static_cast<std::uint32_t>(c.position),
                    static_cast<std::uint32_t>(c.length), fourCC(c.purpose), c.label, c.note});
  }
  // Known before writing: the samples and the cue list must fit the 32-bit sizes.
  if (!fitsRiffSize(static_cast<std::uint64_t>(doc.dataBytes), cueChunks(cues).size()))
    return WavWriteStatus::TooLarge;
  doc.format.samplesPerSec = static_cast<std::uint32_t>(doc.nominalRate);
  WavWriter writer;
  const WavWriteStatus opened = writer.begin(path, doc.format);
  if (opened != WavWriteStatus::Written) return opened;
  if (!writer.writeSamples({doc.samples.get(), static_cast<std::size_t>(doc.dataBytes)}))
    return WavWriteStatus::WriteFailed;
  return writer.finish(cues);
}

std::string wavWriteFailureText(WavWriteStatus status, const std::string& path) {
  switch (status) {
    case WavWriteStatus::Written:
      return {};
    case WavWriteStatus::CannotOpen:
      return cannotOpenForWritingText(path);
    case WavWriteStatus::WriteFailed:
      return cannotWriteText(path);
    case WavWriteStatus::TooLarge:
      return "Can't write WAV file '" + path +
             "': with its cue list it would be larger than a WAV file can be (4 GB).";
  }
  return cannotWriteText(path);
}

}  // namespace voxloom

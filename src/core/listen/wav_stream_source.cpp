#include "core/listen/wav_stream_source.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/audio/pcm_int16.h"
#include "core/audio/riff.h"
#include "core/audio/wav_reader.h"

namespace voxloom {

namespace {

// Large enough that the file is read in few calls, small enough not to matter.
constexpr std::size_t kBlockBytes = 64 * 1024;

}  // namespace

std::unique_ptr<WavStreamSource> WavStreamSource::open(const std::string& path,
                                                       std::string& error) {
  std::string refusal;
  std::optional<ByteStream> stream = ByteStream::openFile(path, &refusal);
  if (!stream) {
    error = refusal.empty() ? "Can't open '" + path + "'." : refusal;
    return nullptr;
  }
  return fromStream(std::move(*stream), path, error);
}

std::unique_ptr<WavStreamSource> WavStreamSource::fromStream(ByteStream stream,
                                                             const std::string& name,
                                                             std::string& error) {
  std::unique_ptr<WavStreamSource> source(new WavStreamSource(std::move(stream)));
  ByteStream& s = source->stream_;
  const auto fail = [&](const std::string& text) {
    error = "'" + name + "': " + text;
    return nullptr;
  };
  ChunkInfo riff;
  riff.id = fourCC("RIFF");
  if (!descendChunk(s, riff, nullptr) || riff.listType != fourCC("WAVE"))
    return fail(riffErrorText("RIFF"));
  ChunkInfo fmt;
  fmt.id = fourCC("fmt");
  if (!descendChunk(s, fmt, &riff)) return fail(riffErrorText("fmt"));
  std::array<std::uint8_t, WaveFormat::kBytes> formatBytes{};
  s.read(formatBytes.data(), std::min<std::size_t>(fmt.size, WaveFormat::kBytes));
  source->format_ = WaveFormat::fromBytes(formatBytes);
  const WaveFormat& f = source->format_;
  // A block size that disagrees with the channels and bits would read samples askew.
  if (fmt.size < 16 || !f.isStandardPcm() || f.samplesPerSec == 0 ||
      f.blockAlign != f.channels * (f.bitsPerSample / 8))
    return fail(kNotStandardPcmText);
  if (ascendChunk(s, fmt)) return fail(riffErrorText("fmt"));
  ChunkInfo data;
  data.id = fourCC("data");
  if (!descendChunk(s, data, &riff)) return fail(riffErrorText("data"));
  // A size field that claims more than the file holds yields what is really there.
  const std::int64_t bytes = std::min<std::int64_t>(data.size, s.remaining());
  source->frames_ = bytes / f.blockAlign;
  source->framesLeft_ = source->frames_;
  error.clear();
  return source;
}

std::size_t WavStreamSource::read(std::int16_t* out, std::size_t frames) {
  const std::size_t frameBytes = format_.blockAlign;
  std::size_t done = 0;
  while (done < frames && framesLeft_ > 0) {
    const std::size_t want =
        std::min({frames - done, static_cast<std::size_t>(framesLeft_), kBlockBytes / frameBytes});
    bytes_.resize(want * frameBytes);
    const std::size_t got = stream_.read(bytes_.data(), bytes_.size()) / frameBytes;
    if (got == 0) {
      framesLeft_ = 0;  // the file shrank under us
      break;
    }
    pcmToInt16(bytes_.data(), got * format_.channels, format_.bitsPerSample,
               out + done * format_.channels);
    done += got;
    framesLeft_ -= static_cast<std::int64_t>(got);
  }
  return done;
}

}  // namespace voxloom

#include "core/audio/recording_params.h"

#include <charconv>
#include <limits>

namespace voxloom {

std::optional<std::int32_t> parseSampleRate(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const auto last = text.find_last_not_of(" \t");
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin == '+') ++begin;
  std::int32_t rate = 0;
  const auto [stop, ec] = std::from_chars(begin, end, rate);
  if (ec != std::errc{} || stop != end || rate <= 0) return std::nullopt;
  return rate;
}

WaveFormat recordingFormat(std::int32_t rate, int channelsItem, int resolutionItem) {
  WaveFormat format;
  format.formatTag = WaveFormat::kPcm;
  format.channels = static_cast<std::uint16_t>(channelsItem + 1);
  format.samplesPerSec = static_cast<std::uint32_t>(rate);
  format.bitsPerSample = static_cast<std::uint16_t>(resolutionItem * 8 + 8);
  format.blockAlign = static_cast<std::uint16_t>(format.channels * (resolutionItem + 1));
  format.avgBytesPerSec = format.blockAlign * format.samplesPerSec;
  format.extraSize = 0;
  return format;
}

std::optional<std::int32_t> recordBufferBytes(int milliseconds, const WaveFormat& format) {
  const std::int64_t frames = static_cast<std::int64_t>(milliseconds) * format.samplesPerSec / 1000;
  const std::int64_t bytes = frames * format.blockAlign;
  if (bytes <= 0 || bytes > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(bytes);
}

}  // namespace voxloom

#include "core/audio/audio_document.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <sys/mman.h>

#include "core/util/little_endian.h"

namespace voxloom {

std::string timeText(double seconds) {
  // Non-finite durations arise only from a zero rate; show them as nothing elapsed.
  if (!std::isfinite(seconds)) seconds = 0.0;
  seconds = std::clamp(seconds, -3.6e15, 3.6e15);
  const long long hours = static_cast<long long>(seconds / 3600);
  const long long minutes = static_cast<long long>((seconds - hours * 3600.0) / 60);
  const double rest = seconds - hours * 3600.0 - minutes * 60.0;

  // "%06.3f" without the locale's decimal separator.
  char digits[64];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, rest, std::chars_format::fixed, 3);
  std::string restText = ec == std::errc{} ? std::string(digits, end) : std::string("0.000");
  const bool negative = !restText.empty() && restText[0] == '-';
  if (restText.size() < 6) restText.insert(negative ? 1 : 0, 6 - restText.size(), '0');

  char head[64];
  std::snprintf(head, sizeof head, "%lld:%02lld:", hours, minutes);
  return head + restText;
}

std::string fileNamePart(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderPart(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return {};
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

AudioDocument::AudioDocument() {
  resetDocument();
}

void SampleBufferFree::operator()(std::uint8_t* p) const noexcept {
  std::free(p);
}

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Large signals go into huge pages where the system offers them on request: touching a
// 100 MB buffer for the first time then costs a few dozen page faults, not 25 000.
std::uint8_t* allocateSampleBytes(std::size_t bytes) {
  if (bytes < 2 * kHugePage) return static_cast<std::uint8_t*>(std::malloc(bytes == 0 ? 1 : bytes));
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* p = std::aligned_alloc(kHugePage, rounded);
  if (p != nullptr) madvise(p, rounded, MADV_HUGEPAGE);
  return static_cast<std::uint8_t*>(p);
}

}  // namespace

void AudioDocument::allocateSamples(Bytes bytes) {
  samples.reset();
  dataBytes = std::max<Bytes>(bytes, 0);
  samples.reset(allocateSampleBytes(static_cast<std::size_t>(dataBytes)));
}

std::uint8_t* AudioDocument::channelBase(int channel) {
  return samples.get() + (channel == 0 ? 0 : frameBytes / 2);
}

const std::uint8_t* AudioDocument::channelBase(int channel) const {
  return samples.get() + (channel == 0 ? 0 : frameBytes / 2);
}

int AudioDocument::sampleAt(const std::uint8_t* base, Frames frameIndex) const {
  const std::uint8_t* p = base + static_cast<std::ptrdiff_t>(frameIndex) * frameBytes;
  switch (format.bitsPerSample) {
    case 8:
      return static_cast<int>(*p) - 128;
    case 16:
      return static_cast<std::int16_t>(getLe16(p));
    default:
      return 0;
  }
}

void AudioDocument::putSample(std::uint8_t* base, Frames frameIndex, int value) const {
  std::uint8_t* p = base + static_cast<std::ptrdiff_t>(frameIndex) * frameBytes;
  switch (format.bitsPerSample) {
    case 8:
      *p = static_cast<std::uint8_t>(std::clamp(value, -128, 127) + 128);
      break;
    case 16:
      putLe16(p, static_cast<std::uint16_t>(std::clamp(value, -32768, 32767)));
      break;
    default:
      break;
  }
}

void AudioDocument::setTitleFor(const std::string& shownPath) {
  const std::string name = shownPath.empty() ? std::string("New File") : fileNamePart(shownPath);
  texts.windowTitle = name + " - " + captions.appCaption;
  texts.applicationTitle = texts.windowTitle;
}

void AudioDocument::setUpDocument(const std::string& newPath, bool takeRateFromFormat) {
  path = newPath;
  isLoaded = true;
  isModified = false;
  frameBytes = format.bitsPerSample / 8 * format.channels;
  frameCount = frameBytes > 0 ? dataBytes / frameBytes : 0;
  if (takeRateFromFormat) nominalRate = static_cast<Rate>(format.samplesPerSec);
  setTitleFor(path);
  texts.status[0] = "Sample: " + std::to_string(nominalRate) + " Hz \u00B7 " +
                    std::to_string(format.bitsPerSample) + " Bit \u00B7 " +
                    (format.channels == 1 ? "Mono" : "Stereo");
  texts.status[1] = "Cues: " + std::to_string(cueCount());
  texts.status[2] = "Time: " + timeText(static_cast<double>(frameCount) / nominalRate);
}

void AudioDocument::resetDocument() {
  path.clear();
  isLoaded = false;
  isModified = false;
  dataBytes = frameCount = frameBytes = 0;
  samples.reset();
  format = WaveFormat{};
  clearCues();
  texts.windowTitle = captions.appCaption;
  texts.applicationTitle = captions.appTitle;
  texts.status = captions.defaultStatus;
}

void AudioDocument::clearCues() {
  cues.clear();
  cues.shrink_to_fit();
}

}  // namespace voxloom

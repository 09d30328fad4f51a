#include "core/random/source_adapters.h"

#include "core/random/fractal_source.h"
#include "core/random/manual_sweep.h"
#include "core/random/random_file_source.h"
#include "core/random/random_mapping.h"
#include "core/random/random_sources.h"

namespace voxloom {
namespace {

// Each source reads the state it shares with the menus and dialogs from the owner.
class SourceOf : public RandomSource {
 public:
  SourceOf(RandomSourceKind kind, RandomSources& rs) : kind_(kind), rs_(rs) {}
  const char* name() const override { return randomSourceName(static_cast<int>(kind_)); }

 protected:
  RandomSourceKind kind_;
  RandomSources& rs_;
};

class PseudoSource final : public SourceOf {
 public:
  using SourceOf::SourceOf;
  RawDraw draw(std::int32_t n) override {
    RawDraw d;
    const std::int32_t v = rs_.pseudo.nextPseudoRandom();
    d.mapped = scaleFrom31Bits(v, n);
    d.value = static_cast<std::uint32_t>(v);
    d.bits = 31;
    return d;
  }
};

class FractalSource final : public SourceOf {
 public:
  using SourceOf::SourceOf;
  RawDraw draw(std::int32_t n) override {
    return drawFractal({rs_.growthRate, rs_.population, rs_.previousTrendValue}, rs_.menu.convert,
                       n);
  }
};

class ManualSource final : public SourceOf {
 public:
  using SourceOf::SourceOf;
  RawDraw draw(std::int32_t n) override { return drawManual(rs_.manualPosition, n); }
};

class InternetSource final : public SourceOf {
 public:
  using SourceOf::SourceOf;
  std::string open() override {
    rs_.batch.discard();  // numbers fetched for another service or range are stale
    return {};
  }
  RawDraw draw(std::int32_t n) override {
    ServiceFetch fetch{rs_.http, rs_.prompter(), rs_.stop(), rs_.showFetching};
    const auto v = nextServiceValue(rs_.serviceUrl, n, rs_.batch, fetch);
    RawDraw d;
    if (!v) return d;
    d.mapped = scaleFromService(*v, n);
    d.value = static_cast<std::uint32_t>(*v);
    d.bits = 32;
    d.form = RawForm::Signed32;
    return d;
  }
};

// The sources that read a file or a device into the 16-bit batch.
class SampleSource : public SourceOf {
 public:
  SampleSource(RandomSourceKind kind, RandomSources& rs)
      : SourceOf(kind, rs), host_{rs.stop(), rs.prompter(), [&rs] { rs.stopPlayback(); }} {}

 protected:
  int samplesNeeded() const { return rs_.menu.convert ? 32 : 1; }
  RawDraw take(std::int32_t n) {
    return takeSample16(rs_.batch, rs_.menu.convert, rs_.previousTrendSample, n);
  }

  SourceHost host_;
};

class FileSource final : public SampleSource {
 public:
  using SampleSource::SampleSource;
  std::string open() override {
    rs_.batch.filePosition = 0;
    rs_.batch.discard();
    return {};
  }
  RawDraw draw(std::int32_t n) override {
    const int need = samplesNeeded();
    if (rs_.batch.index + need > rs_.batch.count &&
        !refillFromFile(rs_.batch, rs_.randomFilePath, rs_.menu.fileLoop, rs_.randomFileLine, host_,
                        need))
      return {};
    return take(n);
  }
};

class SoundCardDraws final : public SampleSource {
 public:
  using SampleSource::SampleSource;
  RawDraw draw(std::int32_t n) override {
    if (!rs_.soundCard.captureNoiseBlock(rs_.batch, rs_.menu.recBest, host_, samplesNeeded()))
      return {};
    return take(n);
  }
  void close() override { rs_.soundCard.closeInput(); }
};

class ParallelPortDraws final : public SourceOf {
 public:
  using SourceOf::SourceOf;
  RawDraw draw(std::int32_t n) override {
    RawDraw d;
    d.value = rs_.parallelPort.readPortWord(rs_.stop(), rs_.prompter());
    d.bits = 32;
    d.form = RawForm::Signed32;
    // A word cut short is still logged, as the 0 it gives.
    d.counted = !rs_.stop().stopRequested;
    d.mapped = d.counted ? scaleFromWord(d.value, n) : 0;
    return d;
  }
  void close() override { rs_.parallelPort.cancelWait(); }
};

class DeviceDraws final : public SourceOf {
 public:
  using SourceOf::SourceOf;
  std::string open() override { return rs_.device.open(rs_.device.path); }
  RawDraw draw(std::int32_t n) override {
    const std::uint32_t w = rs_.device.readWord(rs_.stop(), rs_.prompter());
    RawDraw d;
    if (rs_.stop().stopRequested) return d;
    d.mapped = scaleFromWord(w, n);
    d.value = w;
    d.bits = 32;
    d.form = RawForm::Signed32;
    return d;
  }
  void close() override { rs_.device.cancelWait(); }
};

// A kind set directly, never through the selection: fails like a source that cannot
// deliver.
class NoSource final : public SourceOf {
 public:
  using SourceOf::SourceOf;
  RawDraw draw(std::int32_t) override {
    rs_.stop().stopRequested = true;
    return {};
  }
};

}  // namespace

std::unique_ptr<RandomSource> makeRandomSource(RandomSourceKind kind, RandomSources& rs) {
  switch (kind) {
    case RandomSourceKind::PseudoRng:
      return std::make_unique<PseudoSource>(kind, rs);
    case RandomSourceKind::SoundCard:
      return std::make_unique<SoundCardDraws>(kind, rs);
    case RandomSourceKind::RandomFile:
      return std::make_unique<FileSource>(kind, rs);
    case RandomSourceKind::Fractal:
      return std::make_unique<FractalSource>(kind, rs);
    case RandomSourceKind::Internet:
      return std::make_unique<InternetSource>(kind, rs);
    case RandomSourceKind::ManualSweep:
      return std::make_unique<ManualSource>(kind, rs);
    case RandomSourceKind::ParallelPort:
      return std::make_unique<ParallelPortDraws>(kind, rs);
    case RandomSourceKind::Device:
      return std::make_unique<DeviceDraws>(kind, rs);
  }
  return std::make_unique<NoSource>(kind, rs);
}

HealthUnit healthUnitOf(RandomSourceKind kind) {
  switch (kind) {
    case RandomSourceKind::SoundCard:
    case RandomSourceKind::RandomFile:
    case RandomSourceKind::Internet:
      return HealthUnit::Whole;
    case RandomSourceKind::ParallelPort:
      return HealthUnit::Bits;
    case RandomSourceKind::Device:
      return HealthUnit::Bytes;
    default:
      return HealthUnit::None;
  }
}

}  // namespace voxloom

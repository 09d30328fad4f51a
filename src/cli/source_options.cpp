#include "cli/source_options.h"

#include <cmath>

#include "core/app/health_indicator.h"
#include "core/ports/queued_event_loop.h"
#include "core/session/system_clock.h"
#include "core/util/number_text.h"
#include "platform/http/qt_http_client.h"
#include "platform/linux/char_device.h"
#include "platform/linux/ppdev_port_driver.h"
#include "platform/sdl/sdl_wave_in.h"

namespace voxloom::cli {

namespace {

bool takesValue(const std::string& a) {
  return a == "--source" || a == "--seed" || a == "--r" || a == "--x" || a == "--port-rate" ||
         a == "--port-line" || a == "--unbias";
}

}  // namespace

// 64 frames is the smallest callback SDL's backends take without complaint; the draw's
// wait is then about 1.5 ms at 44100 Hz.
constexpr std::uint16_t kSoundCardCallbackFrames = 64;

struct SourceDevices::Parts {
  QueuedEventLoop loop;
  std::unique_ptr<SdlWaveIn> waveIn;
  std::unique_ptr<PpdevPortDriver> port;
  std::unique_ptr<CharDevice> charDevice;
  std::unique_ptr<HttpClient> http;
  SystemClock clock;
};

SourceDevices::SourceDevices() : parts(std::make_unique<Parts>()) {}
SourceDevices::~SourceDevices() = default;

OptionTake takeSourceOption(const std::vector<std::string>& args, std::size_t& i,
                            SourceOptions& out, std::string& error) {
  const std::string& a = args[i];
  if (a == "--no-loop") {
    out.noLoop = true;
    return OptionTake::Taken;
  }
  if (a == "--convert") {
    out.convert = true;
    return OptionTake::Taken;
  }
  if (a == "--no-rec-best") {
    out.noRecBest = true;
    return OptionTake::Taken;
  }
  if (!takesValue(a)) return OptionTake::NotMine;
  if (i + 1 >= args.size()) {
    error = a + " needs a value";
    return OptionTake::Wrong;
  }
  const std::string& v = args[++i];
  const auto wrong = [&](const std::string& text) {
    error = text;
    return OptionTake::Wrong;
  };
  if (a == "--source") {
    const std::size_t colon = v.find(':');
    out.kind = v.substr(0, colon);
    out.hasArgument = colon != std::string::npos;
    out.argument = out.hasArgument ? v.substr(colon + 1) : std::string();
    static const char* const kKinds[] = {"pseudo",    "fractal", "file",    "internet",
                                         "soundcard", "manual",  "parport", "device"};
    bool known = false;
    for (const char* k : kKinds) known = known || out.kind == k;
    if (!known) return wrong("unknown random source '" + v + "'");
    const bool needsArgument = out.kind == "file" || out.kind == "internet" ||
                               out.kind == "manual" || out.kind == "parport" ||
                               out.kind == "device";
    if (needsArgument && out.argument.empty())
      return wrong("--source " + out.kind + " needs :" +
                   (out.kind == "file"       ? "PATH"
                    : out.kind == "internet" ? "TEMPLATE"
                    : out.kind == "manual"   ? "POSITION"
                    : out.kind == "device"   ? "PATH"
                                             : "DEVICE"));
    if ((out.kind == "pseudo" || out.kind == "fractal") && out.hasArgument)
      return wrong("--source " + out.kind + " takes no argument");
    if (out.kind == "manual") {
      if (!parseWholeNumber<std::int32_t>(out.argument, 0))
        return wrong("--source manual needs a position 0..2147483647");
    }
    if (out.kind == "soundcard" && out.hasArgument) {
      if (!parseWholeNumber<int>(out.argument, 0))
        return wrong("--source soundcard:INDEX needs a device index >= 0");
    }
  } else if (a == "--seed") {
    out.seed = parseWholeNumber<std::uint64_t>(v);
    if (!out.seed) return wrong("--seed needs a whole number");
  } else if (a == "--r" || a == "--x") {
    const auto value = parseDecimal<long double>(v);
    if (!value || !std::isfinite(*value)) return wrong(a + " needs a decimal number");
    (a == "--r" ? out.growthRate : out.population) = *value;
  } else if (a == "--port-rate") {
    const auto rate = parseWholeNumber<std::int32_t>(v, 1);
    if (!rate) return wrong("--port-rate needs Hz >= 1");
    out.portRate = *rate;
  } else if (a == "--port-line") {
    const auto bit = parseWholeNumber<int>(v, 0, 7);
    if (!bit) return wrong("--port-line needs a bit 0..7");
    out.portLine = *bit;
  } else {
    if (v == "none") {
      out.unbias = kUnbiasNone;
    } else if (v == "xor") {
      out.unbias = kUnbiasXor;
    } else if (v == "vonneumann") {
      out.unbias = kUnbiasVonNeumann;
    } else {
      return wrong("--unbias needs none, xor or vonneumann");
    }
  }
  return OptionTake::Taken;
}

ApplyResult applySourceOptions(const SourceOptions& o, RandomSources& rs, SourceDevices& devices,
                               std::string& error) {
  if (o.seed) rs.pseudo.seedPseudoRandom(static_cast<std::uint32_t>(*o.seed));
  rs.menu.convert = o.convert;
  rs.menu.fileLoop = !o.noLoop;
  rs.menu.recBest = !o.noRecBest;
  rs.growthRate = o.growthRate;
  rs.population = o.population;
  SourceDevices::Parts& d = *devices.parts;

  RandomSourceKind kind = RandomSourceKind::PseudoRng;
  std::string path;
  std::string url;
  if (o.kind == "pseudo") {
    kind = RandomSourceKind::PseudoRng;
  } else if (o.kind == "fractal") {
    kind = RandomSourceKind::Fractal;
  } else if (o.kind == "file") {
    kind = RandomSourceKind::RandomFile;
    path = o.argument;
  } else if (o.kind == "internet") {
    kind = RandomSourceKind::Internet;
    url = o.argument;
    d.http = makeQtHttpClient();
    rs.http = d.http.get();
  } else if (o.kind == "manual") {
    kind = RandomSourceKind::ManualSweep;
    rs.manualPosition = parseWholeNumber<std::int32_t>(o.argument).value_or(0);
  } else if (o.kind == "soundcard") {
    kind = RandomSourceKind::SoundCard;
    const int index = o.hasArgument ? parseWholeNumber<int>(o.argument).value_or(kWaveDefaultDevice)
                                    : kWaveDefaultDevice;
    d.waveIn = std::make_unique<SdlWaveIn>(d.loop);
    d.waveIn->setCallbackFrames(kSoundCardCallbackFrames);
    rs.soundCard.device = d.waveIn.get();
    rs.soundCard.loop = &d.loop;
    rs.soundCard.deviceIndex = index;
  } else if (o.kind == "parport") {
    d.port = std::make_unique<PpdevPortDriver>();
    ParallelPortSource& port = rs.parallelPort;
    port.driver = d.port.get();
    port.clock = &d.clock;
    port.loop = &d.loop;
    const std::string failure = port.selectDevice(o.argument, o.portRate, o.portLine, o.unbias);
    if (!failure.empty()) {
      rs.prompter().error(failure);
      return ApplyResult::Failed;
    }
    rs.randomKind = RandomSourceKind::ParallelPort;
    rs.menu.checkOnly(RandomSourceKind::ParallelPort);
    return ApplyResult::Ok;
  } else if (o.kind == "device") {
    kind = RandomSourceKind::Device;
    path = o.argument;
    // No event loop to pump: Stop reaches the wait through its cancel flag.
    d.charDevice = std::make_unique<CharDevice>();
    rs.device.device = d.charDevice.get();
  } else {
    error = "random source '" + o.kind + "' is not available in this build";
    return ApplyResult::Usage;
  }
  const SelectOutcome outcome = rs.selectRandomSource(kind, path, url, false);
  if (outcome == SelectOutcome::NotAvailable) {
    error = "random source '" + o.kind + "' is not available in this build";
    return ApplyResult::Usage;
  }
  return outcome == SelectOutcome::Selected ? ApplyResult::Ok : ApplyResult::Failed;
}

void warnOfHealthFailures(const SourceHealth& health, Prompter& prompter) {
  const HealthReading reading = readHealth(health, false);
  if (reading.failureCount <= 0) return;
  prompter.message("Warning",
                   healthNoticeBrief(reading) + " (" + std::to_string(reading.failureCount) +
                       (reading.failureCount == 1 ? " failure)." : " failures)."),
                   MessageIcon::Warning, MessageButtons::Ok);
}

}  // namespace voxloom::cli

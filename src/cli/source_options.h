#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/random/random_sources.h"
#include "core/util/output_guard.h"

namespace voxloom::cli {

// The random-source options shared by make-evp, random and write-rn.
struct SourceOptions {
  std::string kind = "pseudo";  // what --source names before any ":"
  std::string argument;         // what follows the ":"
  bool hasArgument = false;
  std::optional<std::uint64_t> seed;
  long double growthRate = 3.8L;  // --r
  long double population = 0.5L;  // --x
  bool noLoop = false;
  bool convert = false;
  bool noRecBest = false;
  std::int32_t portRate = 100000;  // --port-rate
  int portLine = 3;                // --port-line: the status bit
  int unbias = 0;                  // --unbias none|xor|vonneumann
};

inline constexpr const char* kSourceOptionsUsage =
    "[--source pseudo|fractal|file:PATH|internet:TEMPLATE|soundcard[:INDEX]|manual:POSITION|\n"
    "        parport:DEVICE|device:PATH] [--seed N] [--r R] [--x X] [--no-loop] [--convert] "
    "[--no-rec-best]\n"
    "       [--port-rate HZ] [--port-line BIT] [--unbias none|xor|vonneumann]";

enum class OptionTake { NotMine, Taken, Wrong };

// Looks at args[i]: a source option (with its value, i then points at the value) is
// stored in `out`. Wrong sets `error`.
OptionTake takeSourceOption(const std::vector<std::string>& args, std::size_t& i,
                            SourceOptions& out, std::string& error);

// The devices a source may need, made only when it is chosen.
class SourceDevices {
 public:
  SourceDevices();
  ~SourceDevices();
  SourceDevices(const SourceDevices&) = delete;
  SourceDevices& operator=(const SourceDevices&) = delete;

  struct Parts;
  std::unique_ptr<Parts> parts;
};

enum class ApplyResult { Ok, Usage, Failed };

// Seeds the generator and makes the chosen source current in `sources`. Usage: `error`
// says what is wrong with the options; Failed: the source said why through its prompter.
ApplyResult applySourceOptions(const SourceOptions& options, RandomSources& sources,
                               SourceDevices& devices, std::string& error);

// Names the file the chosen source reads, if any, as an input of the run.
inline void guardSourceFile(const SourceOptions& options, OutputGuard& guard) {
  if (options.kind == "file") guard.input("random number file", options.argument);
  if (options.kind == "device") guard.input("random device", options.argument);
}

// After a run: one warning line when the source failed a health test, naming the test and
// the draw, so that a stuck source does not pass unnoticed without a log. The exit status
// stays the command's.
void warnOfHealthFailures(const SourceHealth& health, Prompter& prompter);

}  // namespace voxloom::cli

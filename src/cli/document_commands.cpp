#include <iostream>

#include "cli/cli_prompter.h"
#include "cli/cli_services.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/util/output_guard.h"

namespace voxloom::cli {

namespace {

std::string infoJson(const std::string& path, const AudioDocument& doc) {
  JsonWriter j;
  j.beginObject();
  j.key("path").value(path);
  j.key("format").beginObject();
  j.key("formatTag").value(std::int64_t{doc.format.formatTag});
  j.key("channels").value(std::int64_t{doc.format.channels});
  j.key("samplesPerSec").value(std::int64_t{doc.format.samplesPerSec});
  j.key("avgBytesPerSec").value(std::int64_t{doc.format.avgBytesPerSec});
  j.key("blockAlign").value(std::int64_t{doc.format.blockAlign});
  j.key("bitsPerSample").value(std::int64_t{doc.format.bitsPerSample});
  j.key("extraSize").value(std::int64_t{doc.format.extraSize});
  j.endObject();
  j.key("nominalRate").value(std::int64_t{doc.nominalRate});
  j.key("frameBytes").value(std::int64_t{doc.frameBytes});
  j.key("dataBytes").value(std::int64_t{doc.dataBytes});
  j.key("frameCount").value(std::int64_t{doc.frameCount});
  j.key("title").value(doc.texts.windowTitle);
  j.key("status").beginArray();
  for (const std::string& s : doc.texts.status) j.value(s);
  j.endArray();
  j.key("cues").beginArray();
  for (const CuePoint& c : doc.cues) {
    j.beginObject();
    j.key("id").value(std::int64_t{c.id});
    j.key("position").value(std::int64_t{c.position});
    j.key("length").value(std::int64_t{c.length});
    j.key("label").value(c.label);
    j.key("note").value(c.note);
    j.key("purpose").value(c.purpose);
    j.endObject();
  }
  j.endArray();
  j.endObject();
  return j.text();
}

}  // namespace

int runInfo(const std::vector<std::string>& args) {
  const char* usage = "voxloom-cli info FILE.wav";
  if (args.size() != 1) return usageError("info takes one WAV file", usage);
  CliPrompter prompter;
  CliDocument cli(prompter);
  if (cli.document.load(args[0]) != 0) return kExitFailed;
  std::cout << infoJson(args[0], cli.document.document) << '\n';
  return kExitOk;
}

int runCopy(const std::vector<std::string>& args) {
  const char* usage = "voxloom-cli copy IN.wav OUT.wav";
  if (args.size() != 2) return usageError("copy takes an input and an output file", usage);
  OutputGuard files;
  files.input("input", args[0]);
  files.output("output", args[1]);
  if (const auto clash = files.check()) return usageError(clash->text(), usage);
  CliPrompter prompter;
  CliDocument cli(prompter);
  if (cli.document.load(args[0]) != 0) return kExitFailed;
  return cli.document.write(args[1]) == 0 ? kExitOk : kExitFailed;
}

}  // namespace voxloom::cli

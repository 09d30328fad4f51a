#include <iostream>

#include "cli/cli_prompter.h"
#include "cli/cli_services.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/app/session_service.h"
#include "core/session/session_file.h"
#include "core/util/number_text.h"
#include "core/util/output_guard.h"
#include "core/util/text_line_reader.h"

namespace voxloom::cli {

namespace {

std::string sessionJson(const SessionFileContent& content) {
  JsonWriter j;
  j.beginObject();
  j.key("version").value(versionText(content.version));
  j.key("wavPath").value(content.wavPath);
  j.key("records").beginArray();
  for (const EvpRecord& r : content.records) {
    j.beginObject();
    j.key("dateTime").value(r.dateTime);
    j.key("question").value(r.question);
    j.key("answer").value(r.answer);
    j.key("entries").beginArray();
    for (const EvpSegmentEntry& e : r.segments) {
      j.beginObject();
      j.key("start").value(std::int64_t{e.start});
      j.key("length").value(std::int64_t{e.length});
      j.key("serial").value(std::int64_t{e.serial});
      j.key("segmentNumber").value(std::int64_t{e.segmentNumber});
      j.key("fade").value(e.fade);
      j.key("label").value(e.label);
      j.endObject();
    }
    j.endArray();
    j.endObject();
  }
  j.endArray();
  j.endObject();
  return j.text();
}

// Reads a session file as opening it does; prints the error and gives nothing when the
// file is not a session.
std::optional<SessionFileContent> readSessionFile(const std::string& path) {
  std::string text;
  const TextFileStatus read = readTextFile(path, text, kMaxSessionLineBytes);
  if (read == TextFileStatus::CannotOpen) {
    std::cerr << "Error: Can't open session file '" << path << "'.\n";
    return std::nullopt;
  }
  SessionFileContent content;
  if (read == TextFileStatus::Read) content = parseSessionText(text);
  if (!content.valid) {
    std::cerr << "Error: " << kInvalidSessionText << '\n';
    return std::nullopt;
  }
  return content;
}

}  // namespace

int runSession(const std::vector<std::string>& args) {
  const char* usage = "voxloom-cli session FILE.evp";
  if (args.size() != 1) return usageError("session takes one session file", usage);
  const auto content = readSessionFile(args[0]);
  if (!content) return kExitFailed;
  std::cout << sessionJson(*content) << '\n';
  return kExitOk;
}

int runExport(const std::vector<std::string>& args) {
  const char* usage = "voxloom-cli export FILE.evp --evp N -o OUT.wav [--wav PATH]";
  std::string sessionPath, outPath, wavPath;
  int evp = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--evp" || a == "-o" || a == "--wav") {
      if (i + 1 >= args.size()) return usageError(a + " needs a value", usage);
      const std::string& v = args[++i];
      if (a == "-o") {
        outPath = v;
      } else if (a == "--wav") {
        wavPath = v;
      } else if (const auto number = parseWholeNumber<int>(v, 1)) {
        evp = *number;
      } else {
        return usageError("--evp needs a number from 1 on, not '" + v + "'", usage);
      }
    } else if (sessionPath.empty() && !a.starts_with("-")) {
      sessionPath = a;
    } else {
      return usageError("unexpected argument '" + a + "'", usage);
    }
  }
  if (sessionPath.empty() || outPath.empty() || evp == 0)
    return usageError("export needs a session file, --evp and -o", usage);
  // Checked again once the session has named its WAV file.
  OutputGuard files;
  files.input("session", sessionPath);
  files.input("session WAV", wavPath);
  files.output("output", outPath);
  if (const auto clash = files.check()) return usageError(clash->text(), usage);

  CliPrompter prompter;
  NoShell shell;
  CliDocument cli(prompter);
  const std::string programFolder;  // no editor's scratch folder is needed
  const int linearFade = 0;         // no segment options here: export fades linearly
  NoQuestionPrompt noQuestions;     // nothing is captured here
  SessionService service(prompter, shell, cli.document, cli.states, programFolder, cli, noQuestions,
                         linearFade);
  SessionController& sessions = service.sessions;
  if (wavPath.empty()) {
    // As the window opens it; the search question is answered No.
    sessions.openSession(sessionPath);
    if (sessions.session.fileName.empty()) return kExitFailed;
  } else {
    // The WAV file given replaces the session's own, as if found by the search.
    auto content = readSessionFile(sessionPath);
    if (!content) return kExitFailed;
    if (cli.document.load(wavPath) != 0) return kExitFailed;
    sessions.session.fileName = sessionPath;
    sessions.session.wavPath = wavPath;
    sessions.session.records = std::move(content->records);
  }
  if (evp > sessions.session.count()) {
    std::cerr << "Error: The session has " << sessions.session.count() << " EVPs, not " << evp
              << ".\n";
    return kExitFailed;
  }
  if (wavPath.empty()) {
    files.input("session WAV", sessions.session.wavPath);
    if (const auto clash = files.check()) return usageError(clash->text(), usage);
  }
  sessions.session.currentIndex = evp - 1;
  return sessions.writeEvpWavFile(outPath) == 0 ? kExitOk : kExitFailed;
}

}  // namespace voxloom::cli

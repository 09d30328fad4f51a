#include "core/labels/label_commands.h"

#include <algorithm>

#include "core/session/session_file.h"
#include "core/util/user_file.h"

namespace voxloom {

namespace {

// A label file larger than this is no label file (a million long lines stay below).
constexpr std::size_t kMaxLabelFileBytes = std::size_t{512} << 20;

std::string baseName(const std::string& path) {
  std::string name = fileNamePart(path);
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace

void applyImportedCues(AudioDocument& doc, std::vector<CuePoint> imported, CueMerge merge) {
  if (merge == CueMerge::Replace) doc.cues.clear();
  // Labels and notes refer to their cue by identifier, so a new cue takes the smallest
  // identifier no cue has; counting on from the largest would wrap past 2^32 - 1 onto
  // identifiers in use.
  std::vector<std::uint32_t> used;
  used.reserve(doc.cues.size());
  for (const CuePoint& cue : doc.cues) used.push_back(cue.id);
  std::sort(used.begin(), used.end());
  auto nextUsed = used.begin();
  std::uint32_t candidate = 1;
  doc.cues.reserve(doc.cues.size() + imported.size());
  for (CuePoint& cue : imported) {
    for (;;) {
      while (nextUsed != used.end() && *nextUsed < candidate) ++nextUsed;
      if (nextUsed == used.end() || *nextUsed != candidate) break;
      ++candidate;
    }
    cue.id = candidate++;
    doc.cues.push_back(std::move(cue));
  }
  std::stable_sort(doc.cues.begin(), doc.cues.end(),
                   [](const CuePoint& a, const CuePoint& b) { return a.position < b.position; });
  doc.texts.status[1] = "Cues: " + std::to_string(doc.cueCount());
  doc.markModified();
}

bool readLabelFile(const std::string& path, std::string& text, std::string& error) {
  WholeFile file = readUserFile(path, kMaxLabelFileBytes, "label file");
  if (file.status != WholeFileStatus::Read) {
    error = file.refusal.empty() ? "Can't open label file '" + path + "'." : file.refusal;
    return false;
  }
  text = std::move(file.text);
  error.clear();
  return true;
}

bool writeLabelFile(const std::string& path, const AudioDocument& doc) {
  return writeFileAtomically(path, writeLabelTrack(doc.cues, doc.nominalRate));
}

bool loadLabels(const std::string& path, const AudioDocument& doc, LabelReadResult& result,
                std::string& error) {
  std::string text;
  if (!readLabelFile(path, text, error)) return false;
  result = readLabelTrack(text, doc.nominalRate, doc.frameCount);
  if (!result.cues.empty()) return true;
  error = "No label could be read from '" + path + "'.";
  if (!result.problems.empty()) error += "\n" + describeLabelProblems(result.problems);
  return false;
}

int importLabelsCommand(LabelCommandContext c) {
  if (!c.doc.isLoaded) return 1;
  FileDialogSpec spec;
  spec.title = "Import labels...";
  spec.filter = kLabelFilter;
  spec.defaultExtension = "*.txt";
  spec.initialFolder = c.folder;
  const std::optional<std::string> path = c.prompter.chooseOpenFile(spec);
  if (!path) return 1;
  c.folder = folderPart(*path);

  LabelReadResult result;
  std::string error;
  bool loaded = false;
  {
    BusyGuard busy(c.prompter);
    loaded = loadLabels(*path, c.doc, result, error);
  }
  if (!loaded) {
    c.prompter.error(error);
    return 1;
  }
  std::string report = std::to_string(result.cues.size()) + " labels read.";
  if (!result.problems.empty()) report += "\n" + describeLabelProblems(result.problems);

  CueMerge merge = CueMerge::Replace;
  if (!c.doc.cues.empty()) {
    const Answer answer = c.prompter.message(
        kImportLabelsTitle,
        report + "\n\nReplace the " + std::to_string(c.doc.cues.size()) +
            " present cues by the labels?\nYes: replace them. No: add the labels to them. "
            "Cancel: import nothing.",
        MessageIcon::Question, MessageButtons::YesNoCancel);
    if (answer == Answer::Cancel) return 1;
    merge = answer == Answer::Yes ? CueMerge::Replace : CueMerge::Add;
  } else if (!result.problems.empty()) {
    if (c.prompter.message(kImportLabelsTitle, report + "\n\nImport the labels read?",
                           MessageIcon::Question, MessageButtons::YesNo) != Answer::Yes)
      return 1;
  }
  applyImportedCues(c.doc, std::move(result.cues), merge);
  return 0;
}

int exportLabelsCommand(LabelCommandContext c) {
  if (!c.doc.isLoaded) return 1;
  FileDialogSpec spec;
  spec.title = "Export labels...";
  spec.filter = kLabelFilter;
  spec.defaultExtension = "*.txt";
  spec.initialFolder = c.folder;
  spec.fileName = baseName(c.doc.path) + ".txt";
  spec.confirmOverwrite = true;
  const std::optional<std::string> path = c.prompter.chooseSaveFile(spec);
  if (!path) return 1;
  c.folder = folderPart(*path);
  bool written = false;
  {
    BusyGuard busy(c.prompter);
    written = writeLabelFile(*path, c.doc);
  }
  if (!written) {
    c.prompter.error("Can't write label file '" + *path + "'.");
    return 1;
  }
  return 0;
}

}  // namespace voxloom

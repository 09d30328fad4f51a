#pragma once

#include <string>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/labels/label_track.h"
#include "core/ports/prompter.h"

namespace voxloom {

inline constexpr const char* kLabelFilter = "Label Files (*.txt)|*.txt|All Files (*.*)|*.*";
inline constexpr const char* kImportLabelsTitle = "Import labels";

enum class CueMerge { Replace, Add };

// Puts imported cues into the document: in place of its cues or beside them. The cues
// end up in the order of their positions; kept cues keep their identifiers, new ones
// get the smallest identifiers no cue has. Marks the document modified and updates its
// cue count text.
void applyImportedCues(AudioDocument& doc, std::vector<CuePoint> imported, CueMerge merge);

// Reads a label file whole; false with a message text when it cannot be read.
bool readLabelFile(const std::string& path, std::string& text, std::string& error);
// Writes the document's cues as a label file; the previous file survives a failure.
bool writeLabelFile(const std::string& path, const AudioDocument& doc);

// Reads `path` as labels for `doc`. Problems and failures go to stderr-like `problems`;
// false when the file cannot be read or holds no readable label.
bool loadLabels(const std::string& path, const AudioDocument& doc, LabelReadResult& result,
                std::string& error);

// The File menu's commands. Each asks for the file; 0 done, 1 failed or cancelled
// after its message. Import asks whether to replace or add to present cues and leaves
// the document unchanged when the user cancels.
struct LabelCommandContext {
  AudioDocument& doc;
  Prompter& prompter;
  std::string& folder;  // where the dialogs start; updated to the chosen file's folder
};
int importLabelsCommand(LabelCommandContext context);
int exportLabelsCommand(LabelCommandContext context);

}  // namespace voxloom

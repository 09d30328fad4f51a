#pragma once

#include <cstdint>
#include <string>

#include "core/audio/audio_document.h"
#include "core/audio/wav_writer.h"
#include "core/session/session.h"

namespace voxloom {

// The proposed export name: the session file's name (or the first record's stamp)
// without its extension, then "-%.3d.wav" with the EVP's 1-based number.
std::string exportFileName(const Session& session);

// Whether an EVP of `dataBytes` sample bytes in `cues` entries fits a WAV file, counting
// every cue at its largest.
bool evpFitsWavFile(std::uint64_t dataBytes, std::uint64_t cues);

// The cue texts of one exported entry.
std::string evpLabelText(const EvpSegmentEntry& entry);
std::string evpNoteText(const EvpSegmentEntry& entry, const std::string& wavPath, Rate rate);

// Writes the record's entries one after the other, each as one cue ("rgn ") of the new
// file. Cross-faded entries are rendered afresh with `fadeMode`, starting without an
// outgoing part; frames outside the signal are written as silence. Fails without
// writing when nothing is loaded or the result would not fit a WAV file.
WavWriteStatus writeEvpWav(const std::string& path, AudioDocument& doc, const EvpRecord& record,
                           const std::string& wavPath, int fadeMode);

}  // namespace voxloom

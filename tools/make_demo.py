#!/usr/bin/env python3
"""Build the bundled demo recording (assets/demo.wav).

Every syllable of a short English text is spoken on its own by espeak-ng,
trimmed, and the pieces are joined. Because we join the pieces ourselves we
know exactly where each syllable starts and how long it is, so every
syllable becomes one cue point with a region length, a label (the syllable
as spelled) and a note (which word it belongs to). No alignment guesswork.

Usage:  python3 tools/make_demo.py [OUT.wav]     (default: assets/demo.wav)

Only the Python standard library and the espeak-ng program are used. Given
the same espeak-ng, every run writes the same bytes.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 22050
VOICE = "en-us"
SPEED = 175  # words per minute (the espeak-ng default)
PITCH = 50
AMPLITUDE = 100

# The text, word by word: (word, [(syllable as spelled, espeak-ng phonemes)]).
# Syllables are given as phonemes ([[...]] input) because spelled fragments
# such as "ic" or "ly" are misread when spoken alone. A word followed by
# PAUSE ends a sentence or clause.
PAUSE = None
TEXT = [
    ("Listen", [("Lis", "l'I"), ("ten", "s@n")]),
    ("closely", [("close", "kl'oUs"), ("ly", "li")]),
    ("to", [("to", "t@")]),
    ("the", [("the", "D@")]),
    ("noise", [("noise", "n'OIz")]),
    PAUSE,
    ("Somewhere", [("Some", "s'Vm"), ("where", "we@r")]),
    ("in", [("in", "In")]),
    ("the", [("the", "D@")]),
    ("static", [("stat", "st'at"), ("ic", "Ik")]),
    PAUSE,
    ("a", [("a", "@")]),
    ("voice", [("voice", "v'OIs")]),
    ("may", [("may", "m'eI")]),
    ("answer", [("an", "'an"), ("swer", "s3")]),
    ("your", [("your", "jU@")]),
    ("question", [("ques", "kw'Es"), ("tion", "tS@n")]),
]

LEAD_IN_MS = 150
WORD_GAP_MS = 40
PAUSE_MS = 300
TAIL_MS = 250

TRIM_THRESHOLD = 200  # |sample| above this counts as voiced (about -44 dBFS)
TRIM_MARGIN_MS = 5    # kept before the first and after the last voiced sample
FADE_MS = 4           # short ramps so trimmed edges do not click


def ms_to_frames(ms):
    return ms * RATE // 1000


def speak(phonemes, workdir, index):
    """Synthesize one syllable and return its 16-bit mono samples."""
    path = os.path.join(workdir, "part%03d.wav" % index)
    cmd = ["espeak-ng", "-v", VOICE, "-s", str(SPEED), "-p", str(PITCH),
           "-a", str(AMPLITUDE), "-w", path, "[[%s]]" % phonemes]
    subprocess.run(cmd, check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL)
    with wave.open(path, "rb") as w:
        if (w.getnchannels(), w.getsampwidth(), w.getframerate()) != (1, 2, RATE):
            sys.exit("espeak-ng did not produce 16-bit mono %d Hz audio" % RATE)
        raw = w.readframes(w.getnframes())
    return list(struct.unpack("<%dh" % (len(raw) // 2), raw))


def trim(samples):
    voiced = [i for i, s in enumerate(samples) if abs(s) > TRIM_THRESHOLD]
    if not voiced:
        sys.exit("espeak-ng produced a silent syllable")
    margin = ms_to_frames(TRIM_MARGIN_MS)
    begin = max(0, voiced[0] - margin)
    end = min(len(samples), voiced[-1] + 1 + margin)
    piece = samples[begin:end]
    fade = min(ms_to_frames(FADE_MS), len(piece) // 2)
    for i in range(fade):
        # Integer ramp: no float rounding differences between machines.
        piece[i] = piece[i] * i // fade
        piece[-1 - i] = piece[-1 - i] * i // fade
    return piece


def build(workdir):
    """Return (samples, cues); a cue is (position, length, label, note)."""
    samples = [0] * ms_to_frames(LEAD_IN_MS)
    cues = []
    index = 0
    for item in TEXT:
        if item is PAUSE:
            samples.extend([0] * ms_to_frames(PAUSE_MS - WORD_GAP_MS))
            continue
        word, syllables = item
        for number, (spelled, phonemes) in enumerate(syllables, start=1):
            piece = trim(speak(phonemes, workdir, index))
            index += 1
            note = "syllable %d of %d of word '%s'" % (number, len(syllables),
                                                       word)
            cues.append((len(samples), len(piece), spelled, note))
            samples.extend(piece)
        samples.extend([0] * ms_to_frames(WORD_GAP_MS))
    samples.extend([0] * ms_to_frames(TAIL_MS - WORD_GAP_MS))
    return samples, cues


def chunk(code, body):
    assert len(code) == 4
    return code + struct.pack("<I", len(body)) + body


def text_chunk(code, cue_id, text):
    """labl/note: id, then the text with its NUL, padded to an even length."""
    data = text.encode("ascii") + b"\0"
    if len(data) % 2:
        data += b"\0"
    return chunk(code, struct.pack("<I", cue_id) + data)


def riff_bytes(samples, cues):
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    data = struct.pack("<%dh" % len(samples), *samples)
    cue_body = struct.pack("<I", len(cues))
    adtl = b"adtl"
    for cue_id, (position, length, label, note) in enumerate(cues, start=1):
        assert len(label) < 255 and len(note) < 255
        cue_body += struct.pack("<II4sIII", cue_id, position, b"data", 0, 0,
                                position)
        adtl += chunk(b"ltxt", struct.pack("<II4sHHHH", cue_id, length,
                                           b"rgn ", 0, 0, 0, 0))
        adtl += text_chunk(b"labl", cue_id, label)
        adtl += text_chunk(b"note", cue_id, note)
    body = (b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"data", data)
            + chunk(b"cue ", cue_body) + chunk(b"LIST", adtl))
    return chunk(b"RIFF", body)


def main(argv):
    if len(argv) > 2 or (len(argv) == 2 and argv[1].startswith("-")):
        sys.exit("usage: make_demo.py [OUT.wav]")
    out = argv[1] if len(argv) == 2 else os.path.normpath(os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "assets", "demo.wav"))
    if shutil.which("espeak-ng") is None:
        sys.exit("espeak-ng not found (Debian package espeak-ng)")
    with tempfile.TemporaryDirectory(prefix="voxloom-demo-") as workdir:
        samples, cues = build(workdir)
    blob = riff_bytes(samples, cues)
    # Write beside the target and rename, so a failed run never leaves half a file.
    tmp = out + ".tmp"
    with open(tmp, "wb") as f:
        f.write(blob)
    os.replace(tmp, out)
    print("%s: %d frames (%.2f s), %d cues, %d bytes"
          % (out, len(samples), len(samples) / RATE, len(cues), len(blob)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

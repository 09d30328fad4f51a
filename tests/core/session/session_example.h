#pragma once

#include <string>

namespace voxloom::test {

// A version 2.0 file with two EVPs: the third entry and the last end in a blank, and
// the second record's answer is an empty line.
inline const std::string kExampleSession =
    "# Voxloom 2.0 session file - do not edit unless you know exactly what you do!\n"
    "C:\\EVP\\whitenoise.wav\n"
    "[NextSequence]\n"
    "2026 03 14 21 05 09\n"
    "Is anybody here?\n"
    "yes, I am here\n"
    "88200 4410 1 20 hello\n"
    "30870 5292 2 7 [FADE] ok\n"
    "1764 4410 3 0 \n"
    "[NextSequence]\n"
    "2026 03 14 21 07 30\n"
    "What is your name?\n"
    "\n"
    "52920 4410 1 12 \n";

}  // namespace voxloom::test

#pragma once

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/ports/speech_listener.h"

namespace voxloom::test {

// The LibriVox recordings of Debian's pocketsphinx-testdata and what is said in them:
// real speech that nobody here wrote, for the listener's recall.
inline constexpr const char* kLibriVoxDir = "/usr/share/pocketsphinx/test/data/librivox";

struct LibriVoxFile {
  std::string name;
  std::string path;
  std::vector<std::string> words;  // the transcription, without <s> and </s>
};

// Empty when the package is not installed.
inline std::vector<LibriVoxFile> libriVoxFiles() {
  std::vector<LibriVoxFile> files;
  std::ifstream in(std::string(kLibriVoxDir) + "/transcription");
  for (std::string line; std::getline(in, line);) {
    const std::size_t open = line.rfind('(');
    const std::size_t close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) continue;
    LibriVoxFile file;
    file.name = line.substr(open + 1, close - open - 1);
    file.path = std::string(kLibriVoxDir) + "/" + file.name + ".wav";
    std::istringstream words(line.substr(0, open));
    for (std::string w; words >> w;)
      if (w != "<s>" && w != "</s>") file.words.push_back(w);
    files.push_back(std::move(file));
  }
  return files;
}

// Reference words found among the heard ones, each heard word used once, order aside.
inline std::size_t wordsFound(const std::vector<std::string>& reference,
                              const std::vector<HeardWord>& heard) {
  std::map<std::string, int> left;
  for (const HeardWord& w : heard) ++left[w.word];
  std::size_t found = 0;
  for (const std::string& w : reference)
    if (left[w]-- > 0) ++found;
  return found;
}

}  // namespace voxloom::test

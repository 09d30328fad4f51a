#include "core/listen/word_list.h"

#include <algorithm>
#include <cctype>

namespace voxloom {

std::vector<std::string> parseWordList(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string> phrases;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first != std::string_view::npos && line[first] == '#') continue;
    std::string phrase;
    bool blank = false;
    for (const char c : line) {
      if (std::isspace(static_cast<unsigned char>(c))) {
        blank = true;
        continue;
      }
      if (blank && !phrase.empty()) phrase.push_back(' ');
      blank = false;
      phrase.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    if (!phrase.empty() && std::find(phrases.begin(), phrases.end(), phrase) == phrases.end())
      phrases.push_back(std::move(phrase));
  }
  return phrases;
}

std::string spokenWord(std::string_view token) {
  // Spotted phrases come with a blank at the end.
  while (!token.empty() && std::isspace(static_cast<unsigned char>(token.back())))
    token.remove_suffix(1);
  while (!token.empty() && std::isspace(static_cast<unsigned char>(token.front())))
    token.remove_prefix(1);
  if (token.empty() || token.front() == '<' || token.front() == '[' || token.starts_with("++"))
    return {};
  if (token.back() == ')') {
    const std::size_t open = token.rfind('(');
    if (open != std::string_view::npos && open > 0 &&
        std::all_of(token.begin() + static_cast<std::ptrdiff_t>(open) + 1, token.end() - 1,
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
      token = token.substr(0, open);
  }
  return std::string(token);
}

}  // namespace voxloom

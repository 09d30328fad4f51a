#include "core/util/json_text.h"

#include <cstdio>

#include "core/util/text_encoding.h"

namespace voxloom {

std::string jsonQuote(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x80) {
      // Valid UTF-8 goes out as it is; any other byte (a path is bytes, not text) as a
      // lone low surrogate U+DC00 + byte, as Python's surrogateescape reads it, so a
      // script can get the exact bytes back.
      const std::size_t n = utf8SequenceLength(text, i);
      if (n > 0) {
        out.append(text.substr(i, n));
        i += n - 1;
      } else {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\udc%02x", c);
        out += escaped;
      }
      continue;
    }
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += ch;
        }
    }
  }
  return out + "\"";
}

}  // namespace voxloom

#include "core/util/json_read.h"

#include <charconv>
#include <cmath>

namespace voxloom {

namespace {

// Deep enough for anything written here, shallow enough that a hostile file cannot
// exhaust the stack.
constexpr int kMaxDepth = 16;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool value(JsonValue& out, int depth) {
    if (depth > kMaxDepth) return false;
    skipBlanks();
    if (at_ >= text_.size()) return false;
    const char c = text_[at_];
    if (c == '{') return object(out, depth);
    if (c == '[') return array(out, depth);
    if (c == '"') {
      out.type = JsonValue::Type::String;
      return string(out.text);
    }
    if (word("true")) {
      out.type = JsonValue::Type::Bool;
      out.flag = true;
      return true;
    }
    if (word("false")) {
      out.type = JsonValue::Type::Bool;
      return true;
    }
    if (word("null")) return true;
    return number(out);
  }

  bool atEnd() {
    skipBlanks();
    return at_ == text_.size();
  }

 private:
  void skipBlanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }

  bool take(char c) {
    skipBlanks();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  bool word(std::string_view w) {
    if (text_.substr(at_, w.size()) != w) return false;
    at_ += w.size();
    return true;
  }

  bool number(JsonValue& out) {
    const char* first = text_.data() + at_;
    const char* last = text_.data() + text_.size();
    // from_chars takes no '+' and neither does JSON; a leading zero is not JSON either.
    const char* digits = first != last && *first == '-' ? first + 1 : first;
    if (digits == last || *digits < '0' || *digits > '9') return false;
    if (*digits == '0' && last - digits > 1 && digits[1] >= '0' && digits[1] <= '9') return false;
    const auto [end, ec] = std::from_chars(first, last, out.integer);
    if (ec == std::errc{} && (end == last || (*end != '.' && *end != 'e' && *end != 'E'))) {
      out.type = JsonValue::Type::Integer;
      out.real = static_cast<double>(out.integer);
      at_ += static_cast<std::size_t>(end - first);
      return true;
    }
    const auto [realEnd, realEc] = std::from_chars(first, last, out.real);
    if (realEc != std::errc{} || !std::isfinite(out.real)) return false;
    // from_chars also reads "1." and "inf"; JSON wants a digit after the point.
    for (const char* p = first; p + 1 < realEnd; ++p)
      if (*p == '.' && (p[1] < '0' || p[1] > '9')) return false;
    if (realEnd[-1] == '.') return false;
    out.type = JsonValue::Type::Real;
    at_ += static_cast<std::size_t>(realEnd - first);
    return true;
  }

  static void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  bool string(std::string& out) {
    ++at_;  // the opening quote
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char e = text_[at_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          unsigned code = 0;
          if (at_ + 4 > text_.size()) return false;
          const auto [end, ec] =
              std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16);
          if (ec != std::errc{} || end != text_.data() + at_ + 4) return false;
          at_ += 4;
          // Halves of surrogate pairs never occur in what this program writes.
          if (code >= 0xD800 && code <= 0xDFFF) return false;
          appendUtf8(out, code);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  bool array(JsonValue& out, int depth) {
    ++at_;
    out.type = JsonValue::Type::Array;
    if (take(']')) return true;
    do {
      if (!value(out.items.emplace_back(), depth + 1)) return false;
    } while (take(','));
    return take(']');
  }

  bool object(JsonValue& out, int depth) {
    ++at_;
    out.type = JsonValue::Type::Object;
    if (take('}')) return true;
    do {
      skipBlanks();
      if (at_ >= text_.size() || text_[at_] != '"') return false;
      auto& member = out.members.emplace_back();
      if (!string(member.name) || !take(':') || !value(member.value, depth + 1)) return false;
    } while (take(','));
    return take('}');
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

const JsonValue* JsonValue::find(std::string_view key) const {
  for (const auto& [name, value] : members)
    if (name == key) return &value;
  return nullptr;
}

std::optional<JsonValue> parseJson(std::string_view text) {
  Reader reader(text);
  JsonValue value;
  if (!reader.value(value, 0) || !reader.atEnd()) return std::nullopt;
  return value;
}

}  // namespace voxloom

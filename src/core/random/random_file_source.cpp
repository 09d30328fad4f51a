#include "core/random/random_file_source.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "core/random/bitwise_convert.h"
#include "core/random/random_mapping.h"
#include "core/util/little_endian.h"
#include "core/util/user_file.h"

namespace voxloom {
namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;
// A number of -32768..32767 needs a few characters; longer lines are kept only this far,
// enough to show what they hold. Leading zeros or blanks beyond it are refused too.
constexpr std::size_t kKeptLine = 64;

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

// Optional blanks, an optional sign, decimal digits, optional blanks.
bool parseLineNumber(std::string_view text, std::int64_t& value) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const std::size_t digitsFrom = i;
  std::int64_t v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (v >= 100'000'000'000'000'000LL) return false;  // beyond any integer type
    v = v * 10 + (text[i] - '0');
  }
  if (i == digitsFrom) return false;
  while (i < text.size() && isBlank(text[i])) ++i;
  if (i != text.size()) return false;
  value = negative ? -v : v;
  return true;
}

// The line as a message shows it: control bytes as "?", a cut line ending in "...".
std::string shownLine(const std::string& kept, bool cut) {
  std::string s = kept;
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = '?';
  if (cut) s += "...";
  return s;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::string cannotOpenRandomFileText(const std::string& path) {
  return "Can't open random source file '" + path + "'.";
}
std::string cannotReadRandomFileText(const std::string& path) {
  return "Can't read random source file '" + path + "'.";
}
std::string randomFileLineErrorText(std::int32_t line, const std::string& reason) {
  return "Error in line " + std::to_string(line) + " of random source file:\n" + reason;
}

bool isTextRandomFile(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  return dot != std::string::npos && path.compare(dot, std::string::npos, ".txt") == 0;
}

FileBatch readTextBatch(const ChunkRead& read, std::span<std::int16_t> out, std::int32_t& line) {
  FileBatch result;
  std::vector<char> buffer(kChunkBytes);
  std::size_t pos = 0;
  std::size_t len = 0;
  bool atEnd = false;
  std::string kept;
  std::size_t lineLength = 0;
  bool lastWasCr = false;
  std::size_t i = 0;
  while (i < out.size()) {
    // Gather one line; only its first kKeptLine bytes are kept.
    kept.clear();
    lineLength = 0;
    lastWasCr = false;
    bool ended = false;  // by a line feed
    while (!ended) {
      if (pos == len) {
        if (atEnd) break;
        len = read(buffer.data(), buffer.size());
        pos = 0;
        if (len == 0) {
          atEnd = true;
          break;
        }
      }
      const char* from = buffer.data() + pos;
      const void* lf = std::memchr(from, '\n', len - pos);
      const std::size_t piece =
          lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - from) : len - pos;
      if (kept.size() < kKeptLine) kept.append(from, std::min(piece, kKeptLine - kept.size()));
      if (piece > 0) lastWasCr = from[piece - 1] == '\r';
      lineLength += piece;
      pos += piece;
      result.consumed += static_cast<std::int64_t>(piece);
      if (lf != nullptr) {
        ++pos;
        ++result.consumed;
        ended = true;
      }
    }
    // Text mode drops the carriage return before a line feed.
    if (ended && lastWasCr) {
      --lineLength;
      if (kept.size() > lineLength) kept.resize(lineLength);
    }
    if (lineLength == 0) break;  // an empty line, or the end: the block ends
    ++line;
    if (kept[0] == ';') continue;
    std::int64_t value = 0;
    const bool cut = lineLength > kKeptLine;
    if (cut || !parseLineNumber(kept, value)) {
      result.reason = "\"" + shownLine(kept, cut) + "\" is not a valid integer number.";
    } else if (value < -32768 || value > 32767) {
      result.reason = "The number " + std::to_string(value) +
                      " is not within the allowed range of -32768...32767.";
    }
    if (!result.reason.empty()) {
      result.count = -1;
      return result;
    }
    out[i++] = static_cast<std::int16_t>(value);
  }
  // Bytes read ahead beyond the block are not part of it.
  result.count = static_cast<int>(i);
  return result;
}

FileBatch readBinaryBatch(const ChunkRead& read, std::span<std::int16_t> out) {
  FileBatch result;
  std::vector<std::uint8_t> bytes(out.size() * 2);
  std::size_t got = 0;
  while (got < bytes.size()) {
    const std::size_t n = read(reinterpret_cast<char*>(bytes.data() + got), bytes.size() - got);
    if (n == 0) break;
    got += n;
  }
  const std::size_t values = got / 2;
  for (std::size_t k = 0; k < values; ++k)
    out[k] = static_cast<std::int16_t>(getLe16(bytes.data() + 2 * k));
  result.count = static_cast<int>(values);
  result.consumed = static_cast<std::int64_t>(got);
  return result;
}

bool refillFromFile(RandomBatch& batch, const std::string& path, bool loop, std::int32_t& line,
                    SourceHost& host, int need) {
  Prompter& prompter = host.prompter;
  const bool text = isTextRandomFile(path);
  // Opened afresh for every block, through the opener: a FIFO or folder named in the
  // settings must be refused, never waited on.
  UserFile opened = UserFile::open(path);
  FilePtr file(opened.releaseToStdio());
  if (!file) {
    host.endRun();
    prompter.error(opened.isOpen() || opened.status() == UserFile::Status::CannotOpen
                       ? cannotOpenRandomFileText(path)
                       : notRegularFileText("random source file", path, opened));
    return false;
  }
  bool readError = false;
  const ChunkRead read = [&](char* buffer, std::size_t size) {
    const std::size_t n = std::fread(buffer, 1, size, file.get());
    if (n == 0 && std::ferror(file.get())) readError = true;
    return n;
  };
  for (;;) {
    if (fseeko(file.get(), static_cast<off_t>(batch.filePosition), SEEK_SET) != 0)
      batch.filePosition = 0;  // beyond what can be reached: read as past the end
    if (batch.filePosition == 0) line = 0;
    const FileBatch block =
        text ? readTextBatch(read, batch.values16, line) : readBinaryBatch(read, batch.values16);
    if (readError) {
      // The disk failed under the file: nothing more can be trusted from it.
      host.endRun();
      batch.filePosition = batch.count = batch.index = 0;
      prompter.error(cannotReadRandomFileText(path));
      return false;
    }
    if (block.count >= need) {
      batch.filePosition += block.consumed;
      batch.count = block.count;
      batch.index = 0;
      return true;
    }
    if (block.count < 0) {
      batch.filePosition = batch.count = batch.index = 0;
      host.endRun();
      prompter.error(randomFileLineErrorText(line, block.reason));
      return false;
    }
    if (batch.filePosition == 0) {
      host.endRun();
      prompter.error(cannotReadRandomFileText(path));
      return false;
    }
    if (!loop) {
      host.endRun();
      prompter.message("Info", kEndOfRandomFileText, MessageIcon::Info, MessageButtons::Ok);
      return false;
    }
    batch.filePosition = 0;
  }
}

RawDraw takeSample16(RandomBatch& batch, bool convert, std::int32_t& previousTrend,
                     std::int32_t n) {
  RawDraw d;
  if (convert) {
    const std::span<const std::int16_t, 32> block(batch.values16.data() + batch.index, 32);
    batch.index += 32;
    const std::uint32_t w = bitwiseConvert(block, previousTrend);
    d.mapped = scaleFromWord(w, n);
    d.value = w;
    d.bits = 32;
    d.form = RawForm::Signed32;
    d.samples = block;
    return d;
  }
  const std::int16_t s = batch.values16[static_cast<std::size_t>(batch.index++)];
  d.mapped = scaleFromSample16(s, n);
  d.value = static_cast<std::uint32_t>(static_cast<std::int32_t>(s));  // two's complement
  d.bits = 16;
  d.form = RawForm::Signed16;
  return d;
}

}  // namespace voxloom

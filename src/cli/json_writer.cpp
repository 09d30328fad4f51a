#include "cli/json_writer.h"

#include <cstdio>

#include "core/util/json_text.h"

namespace voxloom::cli {

void JsonWriter::separate() {
  if (needComma_) out_ += ',';
  needComma_ = false;
}

JsonWriter& JsonWriter::beginObject() {
  separate();
  out_ += '{';
  return *this;
}

JsonWriter& JsonWriter::endObject() {
  out_ += '}';
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::beginArray() {
  separate();
  out_ += '[';
  return *this;
}

JsonWriter& JsonWriter::endArray() {
  out_ += ']';
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
  separate();
  out_ += jsonQuote(name);
  out_ += ':';
  return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
  separate();
  out_ += jsonQuote(text);
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::value(std::int64_t number) {
  separate();
  out_ += std::to_string(number);
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
  separate();
  out_ += flag ? "true" : "false";
  needComma_ = true;
  return *this;
}

}  // namespace voxloom::cli

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/util/json_text.h"

namespace voxloom::cli {

// A small streaming JSON writer: keys appear in the order they are written.
class JsonWriter {
 public:
  JsonWriter& beginObject();
  JsonWriter& endObject();
  JsonWriter& beginArray();
  JsonWriter& endArray();
  JsonWriter& key(std::string_view name);
  JsonWriter& value(std::string_view text);
  JsonWriter& value(const char* text) { return value(std::string_view(text)); }
  JsonWriter& value(std::int64_t number);
  JsonWriter& value(bool flag);

  const std::string& text() const { return out_; }

 private:
  void separate();

  std::string out_;
  bool needComma_ = false;
};

using voxloom::jsonQuote;

}  // namespace voxloom::cli

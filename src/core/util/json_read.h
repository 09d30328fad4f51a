#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voxloom {

struct JsonMember;

// A parsed JSON value, enough for the small files this program writes itself. Whole
// numbers that fit 64 bits are Integer (with `real` set too); other numbers are Real.
struct JsonValue {
  enum class Type { Null, Bool, Integer, Real, String, Array, Object };
  Type type = Type::Null;
  bool flag = false;
  std::int64_t integer = 0;
  double real = 0.0;
  std::string text;
  std::vector<JsonValue> items;
  std::vector<JsonMember> members;  // in file order

  // The member named `key` of an object; null when there is none.
  const JsonValue* find(std::string_view key) const;
};

// A pair would need JsonValue complete inside its own definition; this need not.
struct JsonMember {
  std::string name;
  JsonValue value;
};

// One JSON value filling `text` (blanks around it allowed); nothing when it is not
// valid or nests too deep.
std::optional<JsonValue> parseJson(std::string_view text);

}  // namespace voxloom

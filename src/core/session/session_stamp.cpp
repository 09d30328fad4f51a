#include "core/session/session_stamp.h"

#include <cstdio>

#include "core/session/scan_numbers.h"

namespace voxloom {

std::string stampNow(const LocalTime& t) {
  char text[96];
  std::snprintf(text, sizeof text, "%4.4d %2.2d %2.2d %2.2d %2.2d %2.2d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return text;
}

LocalTime parseStamp(std::string_view stamp) {
  std::int32_t v[6] = {};
  scanNumbers(stamp, v, 6);
  return {v[0], v[1], v[2], v[3], v[4], v[5]};
}

std::string stampToDisplay(std::string_view stamp) {
  const LocalTime t = parseStamp(stamp);
  char text[96];
  std::snprintf(text, sizeof text, "%2.2d.%2.2d.%4.4d %2.2d:%2.2d:%2.2d", t.day, t.month, t.year,
                t.hour, t.minute, t.second);
  return text;
}

std::string stampToFileName(std::string_view stamp) {
  const LocalTime t = parseStamp(stamp);
  char text[96];
  std::snprintf(text, sizeof text, "%4.4d%2.2d%2.2d_%2.2d%2.2d%2.2d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return text;
}

}  // namespace voxloom

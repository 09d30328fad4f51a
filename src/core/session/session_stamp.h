#pragma once

#include <string>
#include <string_view>

#include "core/util/local_time.h"

namespace voxloom {

// "2026 03 14 21 05 09": the stamp kept in every record.
std::string stampNow(const LocalTime& now);
// "14.03.2026 21:05:09"
std::string stampToDisplay(std::string_view stamp);
// "20260314_210509"
std::string stampToFileName(std::string_view stamp);

// The six numbers of a stamp; numbers that are missing or cannot be read are 0.
LocalTime parseStamp(std::string_view stamp);

}  // namespace voxloom

#pragma once

#include <string>

namespace voxloom {

// The host part of a service URL template, for the menu caption: after the first "//",
// before the first "/", then before the first "?". A port number stays.
std::string serviceHost(const std::string& url);

}  // namespace voxloom

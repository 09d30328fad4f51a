#pragma once

#include <string>
#include <vector>

namespace voxloom {

// Draws the words per minute of both arms of a study side by side (each run a point,
// each arm's median a bar) as an SVG file, the control named as --control names it; false with
// `error` set when it cannot be written.
bool writeStudyPlot(const std::string& path, const std::vector<double>& evpWpm,
                    const std::vector<double>& controlWpm, const std::string& controlName,
                    std::string& error);

}  // namespace voxloom

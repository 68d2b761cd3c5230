#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace garrison {

struct SplitParameters {
    std::string startupParameters;
    std::string manualMods;
};

// Takes the first "-mod=" word out as the manual mods, wraps every "-name="
// word in double quotes and joins the rest with single spaces.
SplitParameters splitParameters(const std::vector<std::string> &words);
SplitParameters splitParameters(std::string_view text);

} // namespace garrison

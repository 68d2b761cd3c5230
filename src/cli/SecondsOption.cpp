#include "cli/SecondsOption.h"

#include <cmath>
#include <cstdlib>

namespace garrison::cli {

CLI::Validator waitSeconds()
{
    return CLI::Validator(
        [](std::string &text) -> std::string {
            char *end = nullptr;
            const double seconds = std::strtod(text.c_str(), &end);
            if (end == text.c_str() || *end != '\0' || !std::isfinite(seconds) || seconds <= 0 || seconds > 3600)
                return "\"" + text + "\" is no time to wait: give seconds above 0, at most 3600";
            return {};
        },
        "SECONDS");
}

} // namespace garrison::cli

#pragma once

#include <cstdint>

namespace garrison {

// What the UI thread asks of a worker thread.
struct Command {
    std::int32_t type = 0;
    std::uintptr_t first = 0;
    std::int32_t second = 0;
};

// Every worker ends its run loop on this command, after the current pass.
inline constexpr std::int32_t kStopCommand = 100;

} // namespace garrison

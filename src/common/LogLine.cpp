#include "common/LogLine.h"

#include "common/DisplayText.h"

#include <ctime>
#include <iostream>
#include <mutex>

namespace garrison {

void logLine(const std::string &text)
{
    static std::mutex lock;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::lock_guard guard(lock);
    std::cout << stamp << " " << displayText(text) << std::endl;
}

} // namespace garrison

#include "common/LogLine.h"

#include "common/DisplayText.h"

#include <ctime>
#include <iostream>
#include <mutex>

namespace garrison {

std::string loggable(const std::string &text)
{
    // A name with a line break in it must not forge a line of its own, nor a colour code dress one up.
    std::string out;
    for (const char c : displayText(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            static const char *hex = "0123456789abcdef";
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

void logLine(const std::string &text)
{
    static std::mutex lock;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::lock_guard guard(lock);
    std::cout << stamp << " " << loggable(text) << std::endl;
}

} // namespace garrison

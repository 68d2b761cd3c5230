#include "peers/PeerMain.h"

#include <arpa/inet.h>

#include <chrono>
#include <csignal>
#include <sstream>
#include <thread>

namespace garrison::peers {

namespace {

volatile std::sig_atomic_t g_stop = 0;

} // namespace

std::vector<std::string> splitOn(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    return parts;
}

std::uint32_t parseBindAddress(const std::string &text, const std::string &option)
{
    std::uint32_t address = 0;
    if (inet_pton(AF_INET, text.c_str(), &address) != 1)
        throw CLI::ValidationError(option, "not an IPv4 address: " + text);
    return address;
}

void serveUntilStopped(double seconds)
{
    std::signal(SIGINT, [](int) { g_stop = 1; });
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!g_stop && (seconds <= 0 || std::chrono::steady_clock::now() < until))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

} // namespace garrison::peers

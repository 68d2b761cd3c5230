#include "monitor/MasterValidate.h"

#include <array>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

namespace garrison {

namespace {

char base64Digit(unsigned value)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    return kDigits[value & 63];
}

} // namespace

std::string masterValidate(std::string_view challenge, std::string_view gameKey)
{
    if (challenge.empty() || gameKey.empty())
        return {};
    std::array<std::uint8_t, 256> table{};
    std::iota(table.begin(), table.end(), std::uint8_t{0});
    std::uint8_t a = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        a = static_cast<std::uint8_t>(a + table[i] + static_cast<std::uint8_t>(gameKey[i % gameKey.size()]));
        std::swap(table[i], table[a]);
    }
    // Unlike RC4, the index steps by each challenge byte plus one.
    std::vector<std::uint8_t> mixed;
    a = 0;
    std::uint8_t b = 0;
    for (const char c : challenge) {
        const auto byte = static_cast<std::uint8_t>(c);
        a = static_cast<std::uint8_t>(a + byte + 1);
        const std::uint8_t x = table[a];
        b = static_cast<std::uint8_t>(b + x);
        const std::uint8_t y = table[b];
        table[b] = x;
        table[a] = y;
        mixed.push_back(byte ^ table[static_cast<std::uint8_t>(x + y)]);
    }
    while (mixed.size() % 3)
        mixed.push_back(0);
    std::string answer;
    for (std::size_t i = 0; i < mixed.size(); i += 3) {
        const unsigned x = mixed[i], y = mixed[i + 1], z = mixed[i + 2];
        answer += base64Digit(x >> 2);
        answer += base64Digit(((x & 3) << 4) | (y >> 4));
        answer += base64Digit(((y & 15) << 2) | (z >> 6));
        answer += base64Digit(z);
    }
    return answer;
}

} // namespace garrison

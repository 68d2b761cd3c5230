#include "monitor/InfoAnswer.h"

#include "common/ByteReader.h"
#include "common/Windows1252.h"

namespace garrison {

namespace {

constexpr std::size_t kSocketsDescription = 28;
constexpr std::size_t kSocketsVersion = 284;
constexpr std::size_t kSocketsRequiredVersion = 288;
constexpr std::size_t kSocketsMission = 292;
constexpr std::size_t kSocketsGameState = 332;
constexpr std::size_t kSocketsPassword = 340;
constexpr std::size_t kSocketsPlayers = 344;
constexpr std::size_t kSocketsVbsMark = 352;

constexpr std::size_t kPlayPassword = 16;
constexpr std::size_t kPlayPlayers = 24;
constexpr std::size_t kPlayVersion = 92;
constexpr std::size_t kPlayRequiredVersion = 96;
constexpr std::size_t kPlayMission = 100;
constexpr std::size_t kPlayGameState = 140;
constexpr std::size_t kPlayName = 144;
constexpr std::size_t kMaxDescriptionBytes = 255; // a 256-byte buffer with its NUL

// The wide session name, turned into the game's code page.
std::string wideName(const ByteReader &reader, std::size_t offset)
{
    std::string name;
    for (std::size_t at = offset; at + 1 < reader.size() && name.size() < kMaxDescriptionBytes; at += 2) {
        const auto unit = reader.at<std::uint16_t>(at);
        if (unit == 0)
            break;
        name += windows1252FromUtf16(unit);
    }
    return name;
}

} // namespace

InfoAnswer parseSocketsInfoAnswer(std::span<const std::uint8_t> datagram)
{
    const ByteReader reader(datagram);
    InfoAnswer answer;
    answer.description = reader.textAt(kSocketsDescription);
    answer.version = reader.at<std::uint32_t>(kSocketsVersion);
    answer.requiredVersion = reader.at<std::uint32_t>(kSocketsRequiredVersion);
    answer.mission = reader.textAt(kSocketsMission);
    answer.gameState = reader.at<std::uint32_t>(kSocketsGameState);
    answer.passwordRequired = reader.at<std::uint8_t>(kSocketsPassword) & 1;
    if (datagram.size() > kSocketsPlayers)
        answer.players = reader.at<std::uint32_t>(kSocketsPlayers);
    if (datagram.size() > kSocketsVbsMark) {
        const bool vbs = reader.at<std::uint8_t>(kSocketsVbsMark) == 'V' &&
                         reader.at<std::uint8_t>(kSocketsVbsMark + 1) == 'B' &&
                         reader.at<std::uint8_t>(kSocketsVbsMark + 2) == 'S';
        answer.implementation = vbs ? Implementation::Vbs1 : Implementation::Sockets;
    }
    return answer;
}

InfoAnswer parseDirectPlayInfoAnswer(std::span<const std::uint8_t> datagram)
{
    const ByteReader reader(datagram);
    InfoAnswer answer;
    answer.passwordRequired = reader.at<std::uint8_t>(kPlayPassword) & 0x80;
    // The count includes the host and the server's own player.
    const auto players = reader.at<std::uint32_t>(kPlayPlayers);
    answer.players = players > 2 ? players - 2 : 0;
    answer.version = reader.at<std::uint32_t>(kPlayVersion);
    answer.requiredVersion = reader.at<std::uint32_t>(kPlayRequiredVersion);
    answer.mission = reader.textAt(kPlayMission);
    answer.gameState = reader.at<std::uint32_t>(kPlayGameState);
    answer.description = wideName(reader, kPlayName);
    answer.implementation = Implementation::DirectPlay;
    return answer;
}

} // namespace garrison

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace garrison {

// Every request of Garrison's own protocol carries the program's version.
inline constexpr std::uint16_t kProtocolVersion = 1222;

inline constexpr std::uint16_t kListRequest = 0;
inline constexpr std::uint16_t kSendListRequest = 1;
inline constexpr std::uint16_t kChunkReRequest = 2;
inline constexpr std::uint16_t kListAnnouncement = 0x8000;
inline constexpr std::uint16_t kPasswordRefused = 0x8001;
inline constexpr std::uint16_t kBrowserListRequest = 0xFFFD;

inline constexpr std::size_t kShortAnnouncementLength = 12;
inline constexpr std::size_t kLongAnnouncementLength = 18;
inline constexpr std::size_t kPasswordRefusedLength = 4;
// Chunk number in front, CRC-32 behind.
inline constexpr std::size_t kChunkOverhead = 6;

// Auto-Addon servers listen beside the game port.
inline constexpr std::uint16_t kAddonPortOffsets[] = {20, 40};
inline constexpr std::array<std::uint16_t, 4> kDefaultAddonPorts = {2322, 2342, 2254, 2274};

inline constexpr int kMaxListAttempts = 2;
inline constexpr std::uint32_t kReRequestSilenceMs = 4000;

// A package list of a few hundred entries is a few hundred kilobytes; a
// server announcing more is not believed.
inline constexpr std::size_t kMaxListBytes = 64u << 20;

} // namespace garrison

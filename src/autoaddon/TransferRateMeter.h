#pragma once

#include "platform/FileTime.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace garrison {

// Transfer rate and time left over a sliding window of samples. Times are in
// 100-ns units; the caller passes the clock so tests can drive it.
class TransferRateMeter {
public:
    explicit TransferRateMeter(std::uint32_t windowSeconds) : m_window(FileTime{windowSeconds} * 10'000'000) {}

    void reset(std::uint64_t total);
    void sample(std::uint64_t done, FileTime now);
    // Hundredths of a kilobyte per second: "2.00" for 2048 bytes a second.
    std::string speedText() const;
    std::uint32_t elapsedSeconds() const;
    // Nothing before an estimate exists, or from 100 hours on.
    std::optional<std::uint32_t> secondsLeft() const;

private:
    struct Sample {
        FileTime time;
        std::uint64_t done;
        std::optional<std::uint32_t> estimate;
    };
    std::uint64_t rate() const;

    FileTime m_window;
    std::uint64_t m_total = 0;
    std::optional<FileTime> m_start;
    std::deque<Sample> m_samples;
};

// Hours, minutes and seconds, each at least two digits: "01:02:03".
std::string clockText(std::uint32_t seconds);

} // namespace garrison

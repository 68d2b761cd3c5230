#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace garrison {

// Collects the datagrams of one GameSpy answer. Each ends with
// "\queryid\<id>.<number>"; the numbers give the order, a new id starts over.
class GameSpyFragments {
public:
    // Highest fragment number kept: a real answer needs a handful, and the
    // number comes from the network.
    static constexpr std::size_t kMaxFragmentNumber = 255;

    // The joined answer once it is complete, else nullopt.
    std::optional<std::string> add(std::string_view datagram);
    // Whether the last answer add() gave lacks a fragment that may still come.
    bool lastAnswerHasGap() const { return m_gap; }

private:
    std::vector<std::string> m_fragments;
    std::string m_queryId;
    bool m_gap = false;
};

} // namespace garrison

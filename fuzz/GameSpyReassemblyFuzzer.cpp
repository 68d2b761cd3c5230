#include "monitor/GameSpyAnswer.h"
#include "monitor/GameSpyFragments.h"

#include <cstdlib>
#include <string_view>

// The input is a run of datagrams separated by NUL bytes (a datagram is a C
// text, so none holds one). Whatever their order, gaps and repeats, an
// answer handed on has the start and the end of a whole one, and reading it
// keeps no more players than it has room for.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    garrison::GameSpyFragments fragments;
    garrison::ServerStatus record;
    std::size_t start = 0;
    while (start <= input.size()) {
        const auto end = std::min(input.find('\0', start), input.size());
        if (const auto answer = fragments.add(input.substr(start, end - start))) {
            if (!answer->starts_with("\\gamename\\") || answer->find("final\\\\") == std::string::npos)
                std::abort();
            garrison::applyGameSpyAnswer(*answer, record);
            // A player takes eight backslashes at least.
            if (record.playerList.size() * 8 > answer->size())
                std::abort();
        }
        start = end + 1;
    }
    return 0;
}

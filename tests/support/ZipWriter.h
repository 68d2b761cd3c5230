#pragma once

#include <string>
#include <vector>

namespace garrison::test {

struct ZipMember {
    std::string name; // "/" between folders; a trailing "/" makes a folder entry
    std::string content;
    bool deflated = true;
};

// A zip written with minizip's writer, members dated 2020-01-02 03:04:04.
[[nodiscard]] bool writeZip(const std::string &path, const std::vector<ZipMember> &members);
std::string zipBytes(const std::vector<ZipMember> &members);

} // namespace garrison::test

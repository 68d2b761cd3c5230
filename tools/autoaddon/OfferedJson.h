#pragma once

#include "aaserver/OfferedBlockWriter.h"

#include <string>

namespace garrison::peers {

// An offered list described in JSON:
// {"server": ["name", "info", "admin", "comserver"], "deactivate": "x.pbo:1234:abcd:",
//  "packages": [{"name": "A", "url": "http://...", "zip_size": 1234, "priority": 7,
//                "files": [{"path": "addons\\a.pbo", "size": 10, "crc": "0000000a"},
//                          {"path": "addons\\b.pbo", "from": "some/real/file"}]}]}
// A file given "from" a real file takes its size and CRC. Throws
// std::runtime_error naming what is wrong.
OfferedContent readOfferedJson(const std::string &path);

} // namespace garrison::peers

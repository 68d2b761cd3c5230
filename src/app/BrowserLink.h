#pragma once

#include <string_view>

namespace garrison {

// Whether a link from the central server may go to the desktop's opener:
// http or https with a host, nothing that could start a program or read a
// local file (file:, smb:, steam:, a bare path, a custom scheme).
bool browserMayOpen(std::string_view link);

} // namespace garrison

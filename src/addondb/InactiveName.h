#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace garrison {

// The name an add-on file has while switched off: "x.pbo.0a1b2c3d.aab", so
// inactive versions with different contents never collide.
std::string inactiveName(std::string_view name, std::uint32_t crc);
// The logical name of a name on disk: "x.pbx" -> "x.pbo", "x.pbo.0a1b2c3d.aab"
// or "....aax" -> "x.pbo"; any other name as it is.
std::string logicalName(std::string_view diskName);

} // namespace garrison

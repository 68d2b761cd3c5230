#pragma once

#include "addondb/ZipReader.h"

#include <optional>
#include <string>
#include <string_view>

namespace garrison {

// An upgrade archive names its release in a member of its own,
// "garrison-release.txt", a line "version = 1.24". The signature covers every
// byte of the archive, so the version is signed with the files.
inline constexpr const char *kReleaseManifestName = "garrison-release.txt";

// The version the archive's manifest names; nothing without a manifest or
// a version line.
std::optional<std::string> releaseVersion(ZipReader &archive);

// Orders versions such as "1.22", "1.22b" and "1.24": the numbers part by
// part, then the letters after them ("1.22" < "1.22b" < "1.23"). Negative,
// zero or positive, as a is older than, the same as or newer than b.
int compareVersions(std::string_view a, std::string_view b);

} // namespace garrison

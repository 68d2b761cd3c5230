#pragma once

namespace garrison {

inline constexpr const char *kVersionText = "1.22b";

} // namespace garrison

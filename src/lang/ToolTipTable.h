#pragma once

#include <optional>
#include <string_view>

namespace garrison {

inline constexpr std::string_view kTextCallback = "TEXTCALLBACK";
inline constexpr std::string_view kToolTipExpand = "TOOLTIPEXPAND";

// The tool-tip string of a control id: a label ending in "_TT", or one of
// the two keywords; nothing when the control has no tool tip. An id names
// the same control in every dialog.
std::optional<std::string_view> toolTipString(int controlId);

} // namespace garrison

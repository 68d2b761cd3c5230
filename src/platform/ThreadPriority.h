#pragma once

namespace garrison {

// Lets the calling thread yield to the user's work (scans, installs).
bool lowerCurrentThreadPriority();

} // namespace garrison

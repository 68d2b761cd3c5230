#pragma once

#include <initializer_list>

namespace garrison {

// For daemons: blocks the signals in this thread and every thread started
// after it, so that waitForSignal() alone takes them. Call first in main().
void blockSignals(std::initializer_list<int> which);
// Waits for one of the signals blocked above and returns it.
int waitForSignal(std::initializer_list<int> which);

} // namespace garrison

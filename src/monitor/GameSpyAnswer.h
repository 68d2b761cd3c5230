#pragma once

#include "monitor/ServerStatus.h"

#include <string_view>

namespace garrison {

// Reads a complete GameSpy answer ("\key\value\key\value...") into the
// record: the keys it knows, the player list in answer order. The caller
// holds the status lock.
void applyGameSpyAnswer(std::string_view answer, ServerStatus &record);

} // namespace garrison

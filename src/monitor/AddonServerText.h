#pragma once

#include "lang/LanguageTable.h"
#include "monitor/ServerStatus.h"

#include <string>

namespace garrison {

// What the Auto-Addon field shows: "Querying" (or "n/a" while the add-on
// database is not ready and scanned), the transfer's percentage, "Yes", "No",
// "Timeout" or "Psw fail".
std::string addonServerText(const ServerStatus &record, bool databaseReadyAndScanned, const LanguageTable &language);

} // namespace garrison

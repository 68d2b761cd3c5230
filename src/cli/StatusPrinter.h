#pragma once

#include "lang/LanguageTable.h"
#include "monitor/ServerStatus.h"

#include <nlohmann/json.hpp>
#include <ostream>

namespace garrison::cli {

// The record as JSON: snake_case keys, texts in UTF-8.
nlohmann::ordered_json statusJson(const ServerStatus &status, const LanguageTable &language);
// The record as a person reads it.
void printStatus(std::ostream &out, const ServerStatus &status, const LanguageTable &language);

} // namespace garrison::cli

#pragma once

#include "lang/LanguageTable.h"
#include "monitor/ServerStatus.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

namespace garrison::cli {

// The record as JSON: snake_case keys, texts in UTF-8. listBytes is the size
// of the Auto-Addon server's package list once it is received.
nlohmann::ordered_json statusJson(const ServerStatus &status, const LanguageTable &language,
                                  std::optional<std::size_t> listBytes);
// The record as a person reads it.
void printStatus(std::ostream &out, const ServerStatus &status, const LanguageTable &language,
                 std::optional<std::size_t> listBytes);

} // namespace garrison::cli

#pragma once

#include "lang/LanguageTable.h"

#include <string>

namespace garrison {

inline constexpr const char *kLanguageFileName = "garrisonlanguage.ini";

// The language file as the table reads it: line ends CR LF become LF and a
// UTF-8 byte-order mark is dropped. Empty when the file cannot be read.
std::string readLanguageFile(const std::string &path);
// The language file first, so its labels win, then the built-in English table.
LanguageTable loadLanguageTable(const std::string &languageFilePath = kLanguageFileName);

} // namespace garrison

#pragma once

#include "lang/LanguageTable.h"

#include <string>

namespace garrison {

// What the player reads when a file could not be saved: which file, why (the
// error number, 0 when unknown) and that the old one is intact.
// whatLabel: DSTR_LINUX_NOTSAVED_DATABASE or DSTR_LINUX_NOTSAVED_SERVERS.
std::string notSavedText(const LanguageTable &language, const char *whatLabel, const std::string &path, int error);

} // namespace garrison

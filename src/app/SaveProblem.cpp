#include "app/SaveProblem.h"

#include <cstring>

namespace garrison {

std::string notSavedText(const LanguageTable &language, const char *whatLabel, const std::string &path, int error)
{
    std::string text = language.Resolve(whatLabel) + "\"" + path + "\"";
    if (error != 0)
        text += " (" + std::string(std::strerror(error)) + ")";
    return text + ". " + language.Resolve("DSTR_LINUX_NOTSAVED_KEPT");
}

} // namespace garrison

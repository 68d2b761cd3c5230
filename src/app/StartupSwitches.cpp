#include "app/StartupSwitches.h"

#include "common/TextCompare.h"

namespace garrison {

StartupAction startupAction(const std::vector<std::string> &words)
{
    std::string line;
    for (const auto &word : words)
        line += (line.empty() ? "" : " ") + word;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '-' && line[i] != '/')
            continue;
        const std::string_view rest = std::string_view(line).substr(i + 1);
        if (equalsNoCaseAscii(rest, "UnregServer") || equalsNoCaseAscii(rest, "RegServer"))
            return StartupAction::EndAtOnce;
    }
    for (const auto &word : words) {
        if (word.size() < 2 || (word[0] != '-' && word[0] != '/'))
            continue;
        const std::string_view name = std::string_view(word).substr(1);
        if (equalsNoCaseAscii(name, "Embedding") || equalsNoCaseAscii(name, "Automation"))
            return StartupAction::NoWindow;
    }
    return StartupAction::Run;
}

} // namespace garrison

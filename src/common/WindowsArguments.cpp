#include "common/WindowsArguments.h"

namespace garrison {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::vector<std::string> splitWindowsArguments(std::string_view commandLine)
{
    std::vector<std::string> arguments;
    std::size_t at = 0;
    while (true) {
        while (at < commandLine.size() && isBlank(commandLine[at]))
            ++at;
        if (at == commandLine.size())
            return arguments;
        std::string argument;
        bool quoted = false;
        while (at < commandLine.size() && (quoted || !isBlank(commandLine[at]))) {
            std::size_t backslashes = 0;
            while (at < commandLine.size() && commandLine[at] == '\\') {
                ++backslashes;
                ++at;
            }
            if (at < commandLine.size() && commandLine[at] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && at + 1 < commandLine.size() && commandLine[at + 1] == '"') {
                    argument += '"'; // "" inside quotes: one quote character
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
            } else {
                argument.append(backslashes, '\\');
                if (backslashes == 0 && at < commandLine.size())
                    argument += commandLine[at++];
            }
        }
        arguments.push_back(std::move(argument));
    }
}

std::string quoteWindowsArgument(std::string_view argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\n\r\"") == std::string_view::npos)
        return std::string(argument);
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

} // namespace garrison

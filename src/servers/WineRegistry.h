#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace garrison {

// The string values of a Wine prefix's registry file (system.reg), read only.
// Key paths and value names compare ignoring case; texts come back in UTF-8
// with Wine's escapes undone. Typed values other than strings are skipped.
class WineRegistry {
public:
    static WineRegistry parse(std::string_view fileText);
    static std::optional<WineRegistry> load(const std::string &path);

    // keyPath as "Software\Codemasters\Operation Flashpoint"; valueName "" is
    // the default value.
    std::optional<std::string> value(std::string_view keyPath, std::string_view valueName) const;

private:
    // Folded "key\value name" -> text.
    std::map<std::string, std::string> m_values;
};

} // namespace garrison

#include "addondb/InstallInstructions.h"

#include <cstdlib>
#include <string_view>

// Any auto-addon.txt parses or is refused; what parses starts with the
// IGNORE rule and holds no rule that could climb out of the game folder.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto instructions =
        garrison::parseInstallInstructions(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!instructions)
        return 0;
    if (instructions->rules.empty() || instructions->rules[0].kind != garrison::InstallRule::Kind::Ignore)
        std::abort();
    for (const auto &rule : instructions->rules) {
        if (("\\" + rule.pattern).find("\\..") != std::string::npos ||
            ("\\" + rule.folder).find("\\..") != std::string::npos)
            std::abort();
    }
    return 0;
}

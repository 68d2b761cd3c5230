#include "cli/GameTextOption.h"

#include "common/GameCodePage.h"

namespace garrison::cli {

CLI::Validator gameText()
{
    return CLI::Validator(
        [](std::string &text) -> std::string {
            std::string unfit;
            const auto converted = utf8ToGameTextExactly(text, unfit);
            if (!converted)
                return "\"" + unfit + "\" cannot be written in the game's code page (" + gameCodePage() +
                       "; code_page in garrison-linux.conf)";
            text = *converted;
            return {};
        },
        "TEXT");
}

} // namespace garrison::cli

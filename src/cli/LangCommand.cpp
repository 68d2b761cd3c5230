#include "cli/LangCommand.h"

#include "common/DisplayText.h"
#include "lang/LanguageLoader.h"

#include <iostream>

namespace garrison::cli {

void addLangCommand(CLI::App &app, int &exitCode)
{
    auto labels = std::make_shared<std::vector<std::string>>();
    auto *command = app.add_subcommand(
        "lang", "Print the text of each label, from garrisonlanguage.ini in this folder or the built-in English");
    command->add_option("label", *labels, "labels such as DSTR_MAIN_TITLE; other texts come back unchanged")
        ->required();
    command->callback([labels, &exitCode] {
        const LanguageTable language = loadLanguageTable();
        for (const auto &label : *labels)
            std::cout << displayText(language.Resolve(label)) << "\n";
        exitCode = 0;
    });
}

} // namespace garrison::cli

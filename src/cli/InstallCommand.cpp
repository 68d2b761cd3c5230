#include "cli/InstallCommand.h"

#include "addondb/DatabaseFile.h"
#include "addondb/PackageArchive.h"
#include "app/AfterInstall.h"
#include "autoaddon/OfferedModel.h"
#include "cli/DatabaseLoading.h"
#include "common/DisplayText.h"
#include "lang/LanguageLoader.h"

#include <iostream>

namespace garrison::cli {

namespace {

struct InstallOptions {
    std::string archive;
    std::string installFolder;
    std::string gameFolder;
};

int runInstall(const InstallOptions &options)
{
    const LanguageTable language = loadLanguageTable();
    AddonDatabase database(language);
    if (!loadDatabase(database, options.gameFolder))
        return 1;
    if (!options.installFolder.empty()) {
        const auto redirect = installRedirectFor(options.installFolder, language);
        if (!redirect) {
            std::cerr << "garrison-cli: " << displayText(language.Resolve("DSTR_MANAGER_AA_INVFOL")) << ": \""
                      << options.installFolder << "\"\n";
            return 2;
        }
        database.offered().installRedirect = *redirect;
    }
    std::atomic<std::uint64_t> done{0}, total{0};
    PackageArchive archive(database, options.archive);
    const bool installed = archive.install(done, total, nullptr);
    // What an installation that failed midway wrote is kept in the database too.
    const Failure notSaved = settleAfterInstall(database, DatabaseFile::kFileName);
    if (!installed) {
        std::cerr << "garrison-cli: " << options.archive << " not installed: " << archive.failure() << "\n";
        return 1;
    }
    std::cout << "installed " << displayText(archive.packageName()) << " (" << total.load() << " bytes)\n";
    if (notSaved) {
        std::cerr << "garrison-cli: cannot write " << notSaved.why() << "\n";
        return 1;
    }
    return 0;
}

} // namespace

void addInstallCommand(CLI::App &app, int &exitCode)
{
    auto options = std::make_shared<InstallOptions>();
    auto *command = app.add_subcommand("install", "Install an add-on zip into the game folder and the database");
    command->add_option("archive", options->archive, "the zip")->required()->check(CLI::ExistingFile);
    command->add_option("--install-folder", options->installFolder,
                        "<default>, <addons>, <res> or a mod folder to install add-ons into");
    command->add_option("--game-folder", options->gameFolder, "the game folder (default: from garrison.sav)");
    command->callback([options, &exitCode] { exitCode = runInstall(*options); });
}

} // namespace garrison::cli

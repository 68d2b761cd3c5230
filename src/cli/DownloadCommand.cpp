#include "cli/DownloadCommand.h"

#include "addondb/DatabaseFile.h"
#include "addondb/OfferedBlock.h"
#include "app/AfterInstall.h"
#include "autoaddon/DownloadEngine.h"
#include "autoaddon/OfferedModel.h"
#include "cli/DatabaseLoading.h"
#include "cli/GameTextOption.h"
#include "cli/SecondsOption.h"
#include "cli/ServerQuery.h"
#include "common/DisplayText.h"
#include "common/TextCompare.h"
#include "lang/LanguageLoader.h"
#include "monitor/AddonServerText.h"

#include <iostream>
#include <thread>
#include <unistd.h>

namespace garrison::cli {

namespace {

struct DownloadOptions {
    std::string address;
    bool allowFileUrls = false;
    std::string password;
    std::vector<std::string> flags;
    std::string installFolder;
    std::string gameFolder;
    double seconds = 8;
};

void showProgress(const DownloadDisplay &d)
{
    std::cerr << "\r"
              << "Downloading: " << displayText(d.downloading) << "  Installing: " << displayText(d.installing) << "  "
              << d.speed << "  " << d.totalText << " KB (" << d.percent << ")  left " << d.timeLeft << "  elapsed "
              << d.elapsed << "   " << std::flush;
}

int runDownload(const DownloadOptions &options)
{
    const auto target = resolveAddressArgument(options.address, 0);
    if (!target)
        return 2;
    const LanguageTable language = loadLanguageTable();
    AddonDatabase database(language);
    if (!loadDatabase(database, options.gameFolder))
        return 1;
    if (!receiveOfferedList(database, *target, options.password, options.seconds))
        return 1;
    OfferedList &offered = database.offered();
    for (const auto &name : options.flags) {
        const auto found =
            std::find_if(offered.packages.begin(), offered.packages.end(),
                         [&](const OfferedPackage &package) { return equalsNoCase(package.name, name); });
        if (found == offered.packages.end()) {
            std::cerr << "garrison-cli: the server offers no package named \"" << name << "\"\n";
            return 2;
        }
        found->flagged = true;
    }
    const auto redirect = installRedirectFor(
        options.installFolder.empty() ? language.Resolve("DSTR_MANAGER_AA_DEFAULT") : options.installFolder, language);
    if (!redirect) {
        std::cerr << "garrison-cli: " << displayText(language.Resolve("DSTR_MANAGER_AA_INVFOL")) << ": \""
                  << options.installFolder << "\"\n";
        return 2;
    }
    offered.installRedirect = *redirect;

    std::vector<std::string> skipped;
    for (const auto &package : offered.packages) {
        if (!package.flagged)
            skipped.push_back(package.name);
    }
    DownloadEngine engine(database, language);
    engine.allowFileUrls(options.allowFileUrls);
    engine.start();
    const bool terminal = isatty(STDERR_FILENO);
    while (!engine.finished()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (terminal)
            showProgress(engine.display(currentFileTime()));
    }
    engine.wait();
    if (terminal)
        std::cerr << "\n";
    // What the Manager does after a download, so both leave the same statuses.
    const Failure notSaved = settleAfterInstall(database, DatabaseFile::kFileName);

    int failures = 0;
    for (const auto &outcome : engine.outcomes()) {
        if (outcome.installed) {
            std::cout << "installed  " << displayText(outcome.package) << "\n";
        } else {
            std::cout << "failed     " << displayText(outcome.package) << ": " << outcome.problem << "\n";
            ++failures;
        }
    }
    for (const auto &name : skipped)
        std::cout << "skipped    " << displayText(name) << "\n";
    for (const auto &package : offered.packages)
        std::cout << "now        " << displayText(package.name) << ": "
                  << displayText(installStatusText(package.status, language)) << "\n";
    if (notSaved) {
        std::cerr << "garrison-cli: cannot write " << notSaved.why() << "\n";
        return 1;
    }
    return failures ? 1 : 0;
}

} // namespace

void addDownloadCommand(CLI::App &app, int &exitCode)
{
    auto options = std::make_shared<DownloadOptions>();
    auto *command = app.add_subcommand(
        "download", "Download and install what a server's Auto-Addon server offers and this game folder misses");
    command->add_option("address", options->address, "HOST[:PORT] of the game server")->required();
    command->add_option("--password", options->password, "the server's password")->transform(gameText());
    command->add_option("--flag", options->flags, "also download this package (repeatable)");
    command->add_option("--install-folder", options->installFolder,
                        "<default>, <addons>, <res> or a mod folder to install add-ons into");
    command->add_option("--game-folder", options->gameFolder, "the game folder (default: from garrison.sav)");
    command->add_option("--seconds", options->seconds, "how long to wait for the list")
        ->check(waitSeconds())
        ->capture_default_str();
    command->add_flag("--allow-file-urls", options->allowFileUrls,
                      "also fetch file:// package URLs (a local mirror); only http, https and ftp otherwise");
    command->callback([options, &exitCode] { exitCode = runDownload(*options); });
}

} // namespace garrison::cli

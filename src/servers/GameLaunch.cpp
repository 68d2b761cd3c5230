#include "servers/GameLaunch.h"

#include "addondb/Activation.h"
#include "addondb/ModRecommendation.h"
#include "autoaddon/OfferedModel.h"
#include "common/TextCompare.h"
#include "common/WindowsArguments.h"
#include "common/WordSplit.h"
#include "platform/FileSystem.h"
#include "platform/HostLookup.h"
#include "platform/NativePath.h"
#include "servers/ModList.h"
#include "servers/ServerAddress.h"

#include <algorithm>

namespace garrison {

namespace {

bool fileInGame(const std::string &gameFolder, const std::string &relative)
{
    const auto path = nativePath(gameFolder, relative);
    return path && pathExists(*path);
}

std::vector<std::string> existingModFolders(const LaunchSituation &situation)
{
    if (!situation.database || situation.database->listingMode())
        return situation.listedFolders;
    std::vector<std::string> names;
    for (const FileNode *folder : situation.database->modFolders())
        names.emplace_back(folder->name().substr(0, folder->name().size() - 1));
    return names;
}

std::string betaFallback(const std::string &gameFolder)
{
    for (const char *beta : {"FLASHPOINTBETA.EXE", "FLASHPOINT192BETA.EXE"}) {
        if (fileInGame(gameFolder, beta))
            return beta;
    }
    return "FLASHPOINTRESISTANCE.EXE";
}

std::string bestExecutable(const AddonDatabase *database, int versionClass)
{
    if (!database)
        return {};
    const int slot = database->bestExecutable(versionClass);
    return slot < 0 ? std::string() : database->executables()[static_cast<std::size_t>(slot)];
}

// The executable by the server's version; "ColdWarAssault.exe" of the Steam
// and GOG edition when none of the retail ones is there.
std::string executableFor(const LaunchSituation &situation, const std::string &gameFolder, bool &vbs1)
{
    const ServerEntry &entry = *situation.entry;
    if (!entry.executable.empty())
        return entry.executable;
    std::string chosen;
    if (entry.local) {
        if (fileInGame(gameFolder, "BIN\\VBS1.BIN")) {
            vbs1 = true;
            return "rb.exe";
        }
        chosen = bestExecutable(situation.database, 9);
        if (chosen.empty())
            chosen = "FLASHPOINTRESISTANCE.EXE";
    } else if (situation.status->implementation == Implementation::Vbs1) {
        vbs1 = true;
        return "rb.exe";
    } else {
        const std::uint32_t version = situation.status->version;
        if (version < 175) {
            chosen = "OPERATIONFLASHPOINT.EXE";
        } else if (version <= 191) {
            chosen = bestExecutable(situation.database, 0);
            if (chosen.empty())
                chosen = "FLASHPOINTRESISTANCE.EXE";
        } else {
            chosen = bestExecutable(situation.database, version <= 194 ? 3 : 5);
            if (chosen.empty())
                chosen = betaFallback(gameFolder);
        }
    }
    if (!fileInGame(gameFolder, chosen) && fileInGame(gameFolder, "ColdWarAssault.exe"))
        return "ColdWarAssault.exe";
    return chosen;
}

} // namespace

std::string gameCommandLine(const std::string &gameFolder, const std::string &executable, const std::string &parameters)
{
    return "\"" + gameFolder + executable + "\" " + parameters;
}

bool launchGame(LaunchSituation &situation, LaunchView &view, const std::string &connectAddress,
                const std::string &connectPort)
{
    if (!situation.entry || situation.options->gameFolder.empty())
        return false;
    ServerEntry &entry = *situation.entry;
    const Options &options = *situation.options;
    const ServerStatus &status = *situation.status;

    // Each switch one argument, whatever its value holds: a password with a space or a quote stays whole.
    std::string parameters = entry.local ? "-nosplash"
                                         : "-nosplash " + quoteWindowsArgument("-connect=" + connectAddress) + " " +
                                               quoteWindowsArgument("-port=" + connectPort);
    if (!entry.local && status.passwordRequired && !entry.password.empty())
        parameters += " " + quoteWindowsArgument("-password=" + entry.password);
    if (options.alwaysNoMap)
        parameters += " -nomap";

    std::string mods;
    if (!entry.local && entry.loadServerMods) {
        const auto existing = existingModFolders(situation);
        for (const auto &part : splitModList(status.mod)) {
            if (equalsNoCase(part, "RES"))
                continue;
            if (!mods.empty())
                mods += ';';
            mods += part;
            const bool present = std::any_of(existing.begin(), existing.end(),
                                             [&](const std::string &folder) { return equalsNoCase(folder, part); });
            if (!present && !view.confirmMissingMod(part))
                return false;
        }
    } else if (situation.databaseReady && situation.database && !entry.local && entry.automaticModSelection) {
        if (!situation.database->offered().packages.empty()) {
            // Split as the Manager splits them, so that both recommend the same folders.
            entry.automaticMods = recommendMods(*situation.database, splitModList(entry.manualMods));
            view.settingsChanged();
        }
        mods = entry.automaticMods;
    }
    if (!entry.manualMods.empty()) {
        if (!mods.empty())
            mods += ';';
        mods += entry.manualMods;
    }
    if (situation.databaseReady && situation.database && situation.activate)
        Activation(*situation.database)
            .activateForServer(mods, options.noAutomaticActivation, situation.database->offered());
    if (!mods.empty())
        parameters += " " + quoteWindowsArgument("-mod=" + mods);
    if (!entry.startupParameters.empty())
        parameters = entry.startupParameters + " " + parameters;

    std::string gameFolder = options.gameFolder;
    if (gameFolder.back() != '/')
        gameFolder += '/';
    bool vbs1 = false;
    const std::string executable = executableFor(situation, gameFolder, vbs1);
    if (vbs1 && !startsWithNoCase(parameters, "BIN\\"))
        parameters = "BIN\\VBS1.BIN " + parameters;
    return view.start(gameFolder, executable, parameters);
}

void playNow(LaunchSituation &situation, LaunchView &view)
{
    if (!situation.entry)
        return;
    ServerEntry &entry = *situation.entry;
    const ServerStatus &status = *situation.status;
    if (status.equalModRequired && (!entry.loadServerMods || !entry.manualMods.empty())) {
        switch (view.askEqualMods()) {
        case LaunchView::EqualModAnswer::Accept:
            entry.loadServerMods = true;
            entry.automaticModSelection = false;
            entry.manualMods.clear();
            view.settingsChanged();
            break;
        case LaunchView::EqualModAnswer::Cancel:
            return;
        case LaunchView::EqualModAnswer::Force:
            break;
        }
    } else if (situation.databaseReady && situation.database && !situation.database->offered().packages.empty()) {
        // Asked once, naming every package that is missing.
        std::vector<std::string> missing;
        for (auto &package : situation.database->offered().packages) {
            computeInstallStatus(package, *situation.database);
            if (neededAndMissing(package))
                missing.push_back(package.name);
        }
        if (!missing.empty()) {
            const auto answer = view.askMissingPackages(missing);
            if (answer == LaunchView::MissingAnswer::Cancel)
                return;
            if (answer == LaunchView::MissingAnswer::Manager) {
                view.clearLaunchAndAlarm();
                view.openManager();
                return;
            }
        }
    }

    std::string address, port;
    if (!entry.local) {
        if (status.implementation == Implementation::Unknown)
            return;
        const auto split = splitServerAddress(entry.address);
        port = split.portText.empty() && entry.address.find(':') == std::string::npos ? std::to_string(status.port)
                                                                                      : split.portText;
        const auto resolved = situation.resolve(split.host);
        if (!resolved) {
            view.showError("DSTR_MAIN_LAUNCHERR_ADDR");
            return;
        }
        address = dottedAddress(*resolved);
    }
    if (launchGame(situation, view, address, port))
        view.launched(situation.options->keepRunningAfterLaunch);
    else
        view.showError(status.version < 175 ? "DSTR_MAIN_LAUNCHERR_OFP" : "DSTR_MAIN_LAUNCHERR_OFPR");
    view.clearLaunchBox();
}

} // namespace garrison

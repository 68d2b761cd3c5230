#pragma once

#include "app/UpgradeSignature.h"
#include "common/Version.h"
#include "lang/LanguageTable.h"
#include "monitor/ServerStatus.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace garrison {

// The folders of an upgrade: the working folder the program starts in again,
// the program's files, and the staged new ones among them. The download
// itself is held in memory and never written.
struct UpgradePlaces {
    std::string workFolder;    // "" is the working directory
    std::string programFolder; // ends with "/"

    std::string staging() const { return programFolder + ".garrison-upgrade/"; }
};

// The folder of the running program, with "/" at its end.
std::string runningProgramFolder();

// Whether Garrison can replace its own files: its folder is writable and
// holds garrisonsetup. A copy the package manager installed cannot, and
// leaves upgrades to it.
bool canUpgradeInPlace(const std::string &programFolder);

// Downloads an upgrade archive and its signature on a thread of its own,
// checks the signature and stages the files. Nothing of the installed
// program changes here: the setup program swaps the staged files in after
// Garrison has ended. Progress and the reason of a failure go to the
// status store's upgrade text.
class SelfUpgrade {
public:
    // runningVersion: an archive must name a newer release to be staged.
    SelfUpgrade(StatusStore &status, const LanguageTable &language, UpgradePlaces places, const std::string &link,
                const UpgradeKey &key = kUpgradePublicKey, std::string runningVersion = kVersionText);
    // Cancels a running download and waits.
    ~SelfUpgrade();
    SelfUpgrade(const SelfUpgrade &) = delete;
    SelfUpgrade &operator=(const SelfUpgrade &) = delete;

    bool ended() const { return m_ended; }
    // After ended(): every file is staged.
    bool succeeded() const { return m_succeeded; }
    const UpgradePlaces &places() const { return m_places; }

private:
    void run(const std::string &link, const UpgradeKey &key, const std::string &runningVersion);
    // The archive into memory, within its size limit; the failure, or empty.
    std::string download(const std::string &link, std::vector<std::uint8_t> &archive);
    void setStatus(const std::string &text);

    StatusStore &m_status;
    const LanguageTable &m_language;
    UpgradePlaces m_places;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_ended{false};
    std::atomic<bool> m_succeeded{false};
    std::thread m_thread;
};

} // namespace garrison

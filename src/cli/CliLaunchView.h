#pragma once

#include "lang/LanguageTable.h"
#include "servers/GameLaunch.h"
#include "servers/GameStarter.h"

#include <string>

namespace garrison::cli {

// Play now's questions, answered from the command line or asked on the
// terminal; the game started through the runner or, for a dry run, shown.
class CliLaunchView final : public LaunchView {
public:
    enum class EqualMods { Ask, Accept, Keep };

    struct Choices {
        EqualMods equalMods = EqualMods::Ask;
        bool connectAnyway = false; // with packages the server needs still missing
        bool dryRun = false;
    };

    CliLaunchView(Choices choices, GameRunner runner, const LanguageTable &language);

    EqualModAnswer askEqualMods() override;
    MissingAnswer askMissingPackages(const std::vector<std::string> &packages) override;
    bool confirmMissingMod(const std::string &folder) override;
    void openManager() override;
    void clearLaunchAndAlarm() override {}
    void clearLaunchBox() override {}
    void showError(const std::string &label) override;
    bool start(const std::string &gameFolder, const std::string &executable, const std::string &parameters) override;
    void launched(bool) override { m_started = true; }
    void settingsChanged() override { m_settingsChanged = true; }

    bool started() const { return m_started; }
    bool failed() const { return m_failed; }
    bool changedSettings() const { return m_settingsChanged; }

private:
    std::string text(const std::string &label) const;

    Choices m_choices;
    GameRunner m_runner;
    const LanguageTable &m_language;
    bool m_started = false;
    bool m_failed = false;
    bool m_settingsChanged = false;
};

} // namespace garrison::cli

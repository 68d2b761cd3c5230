#pragma once

#include "gui/CToolTipDialog.h"
#include "servers/ServerSetup.h"

#include <memory>

namespace Ui {
class ServerSetupDialog;
}

namespace garrison::gui {

// Adds or edits one server entry: network or local, the address and
// password, the executable and the mod folders to load, in order.
class ServerSetupDialog final : public CToolTipDialog {
    Q_OBJECT

public:
    ServerSetupDialog(const LanguageTable &language, ServerSetupInputs inputs, const ServerEntry &entry,
                      std::string gameFolder, QWidget *parent = nullptr);
    ~ServerSetupDialog() override;

    // After OK: the entry as the dialog left it.
    const ServerEntry &result() const { return m_result; }

private:
    void showValues();
    void showLists(int selectedAvailable = -1, int selectedToLoad = -1);
    void showEnabling();
    void takeTexts();
    void moveMod(int (ServerSetup::*operation)(int), bool fromAvailable);
    void copyFrom();
    void browseExecutable();
    void browseModFolder();

    std::unique_ptr<Ui::ServerSetupDialog> m_ui;
    ServerSetup m_setup;
    std::string m_gameFolder;
    ServerEntry m_result;
};

} // namespace garrison::gui

#pragma once

#include "gui/CToolTipDialog.h"
#include "servers/GameFolderSearch.h"

#include <QTimer>

#include <memory>
#include <string>
#include <vector>

namespace Ui {
class PathSetupDialog;
}

namespace garrison::gui {

// Where the game is, when no registry or library knows: the player picks
// one of its start files, or lets Garrison search the disks for one.
class PathSetupDialog final : public CToolTipDialog {
    Q_OBJECT

public:
    PathSetupDialog(const LanguageTable &language, std::vector<std::string> searchRoots, QWidget *parent = nullptr);
    ~PathSetupDialog() override;

    // After OK: the folder found or chosen ("/" at its end), possibly empty.
    const std::string &folder() const { return m_folder; }

public slots:
    // A search is stopped and waited for before the dialog goes.
    void reject() override;

private:
    void browse();
    void searchOrStop();
    void poll();

    std::unique_ptr<Ui::PathSetupDialog> m_ui;
    GameFolderSearch m_search;
    bool m_searchHandled = true;
    QTimer m_timer;
    std::string m_folder;
};

} // namespace garrison::gui

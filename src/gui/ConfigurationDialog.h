#pragma once

#include "app/Configuration.h"
#include "gui/CToolTipDialog.h"

#include <memory>

namespace Ui {
class ConfigurationDialog;
}

namespace garrison::gui {

// The game folder and the program's options, and on a second page how the
// game runs on Linux. OK always restarts Garrison, which the opener does.
class ConfigurationDialog final : public CToolTipDialog {
    Q_OBJECT

public:
    // canReset: the database scan has ended, so its times can be forgotten.
    ConfigurationDialog(const LanguageTable &language, const Configuration &values, bool canReset,
                        QWidget *parent = nullptr);
    ~ConfigurationDialog() override;

    Configuration values() const;

private:
    void show(const Configuration &values);
    void browseGame();
    void browsePrefix();

    std::unique_ptr<Ui::ConfigurationDialog> m_ui;
    // Keys the dialog does not show (the master key) are saved as they were.
    LinuxSettings m_linux;
};

} // namespace garrison::gui

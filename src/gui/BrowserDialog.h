#pragma once

#include "app/AddonBrowser.h"
#include "gui/CToolTipDialog.h"

#include <QTimer>

#include <memory>

namespace Ui {
class BrowserDialog;
}

namespace garrison::gui {

// The public Auto-Addon servers the central server lists, filtered by game;
// Select hands back the address of the chosen row.
class BrowserDialog final : public CToolTipDialog {
    Q_OBJECT

public:
    BrowserDialog(const LanguageTable &language, AddonBrowser &browser, QWidget *parent = nullptr);
    ~BrowserDialog() override;

    const std::string &selectedAddress() const { return m_selected; }

private:
    void poll();
    void showRows(bool fromScratch);
    void choose();

    std::unique_ptr<Ui::BrowserDialog> m_ui;
    AddonBrowser &m_browser;
    QTimer m_timer;
    std::string m_selected;
};

} // namespace garrison::gui

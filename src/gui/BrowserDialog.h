#pragma once

#include "app/AddonBrowser.h"
#include "app/InternetBrowser.h"
#include "gui/CToolTipDialog.h"

#include <QTimer>

#include <memory>

namespace Ui {
class BrowserDialog;
}

namespace garrison::gui {

// The public Auto-Addon servers the central server lists, filtered by game,
// and on a second page the servers of the GameSpy masters; Select hands back
// the address of the chosen row.
class BrowserDialog final : public CToolTipDialog {
    Q_OBJECT

public:
    // central: none when no central server is set.
    BrowserDialog(const LanguageTable &language, AddonBrowser *central, InternetBrowser &internet,
                  QWidget *parent = nullptr);
    ~BrowserDialog() override;

    const std::string &selectedAddress() const { return m_selected; }

private:
    void poll();
    void showRows(bool fromScratch);
    void choose();
    void enableSelect();
    bool onInternetPage() const;

    std::unique_ptr<Ui::BrowserDialog> m_ui;
    AddonBrowser *m_browser;
    InternetBrowser &m_internet;
    class InternetPage *m_internetPage;
    QTimer m_timer;
    std::string m_selected;
};

} // namespace garrison::gui

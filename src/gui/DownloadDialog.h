#pragma once

#include "autoaddon/DownloadEngine.h"
#include "lang/LanguageTable.h"

#include <QDialog>
#include <QTimer>

#include <memory>

namespace Ui {
class DownloadDialog;
}

namespace garrison::gui {

// Downloads and installs the flagged packages with the engine's threads; the
// window only reads the engine's bars and texts, so it never waits for them.
class DownloadDialog final : public QDialog {
    Q_OBJECT

public:
    DownloadDialog(const LanguageTable &language, AddonDatabase &database, const std::string &workFolder,
                   bool allowFileUrls, QWidget *parent = nullptr);
    ~DownloadDialog() override;

    std::vector<DownloadEngine::Outcome> outcomes() const { return m_engine.outcomes(); }

public slots:
    // Cancel, Escape and the window's close: the transfer stops, an
    // installation in progress finishes, then the dialog closes by itself.
    void reject() override;

private:
    void showBars();
    void showTexts();

    std::unique_ptr<Ui::DownloadDialog> m_ui;
    DownloadEngine m_engine;
    QTimer m_barsTimer;
    QTimer m_textsTimer;
};

} // namespace garrison::gui

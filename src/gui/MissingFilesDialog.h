#pragma once

#include "lang/LanguageTable.h"
#include "servers/GameLaunch.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

namespace Ui {
class MissingFilesDialog;
}

namespace garrison::gui {

// Play now found packages the server needs and the player lacks: open the
// Manager, give up, or connect anyway.
class MissingFilesDialog final : public QDialog {
    Q_OBJECT

public:
    // packages: the missing ones, listed under the message.
    MissingFilesDialog(const LanguageTable &language, const std::vector<std::string> &packages,
                       QWidget *parent = nullptr);
    ~MissingFilesDialog() override;
    LaunchView::MissingAnswer answer() const { return m_answer; }

private:
    std::unique_ptr<Ui::MissingFilesDialog> m_ui;
    LaunchView::MissingAnswer m_answer = LaunchView::MissingAnswer::Cancel;
};

} // namespace garrison::gui

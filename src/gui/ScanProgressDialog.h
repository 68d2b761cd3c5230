#pragma once

#include "addondb/AddonDatabase.h"
#include "lang/LanguageTable.h"

#include <QDialog>
#include <QTimer>

#include <memory>

namespace Ui {
class ScanProgressDialog;
}

namespace garrison::gui {

// Shown when the first scan takes longer than two seconds: the path being
// looked at, and Skip.
class ScanProgressDialog final : public QDialog {
    Q_OBJECT

public:
    ScanProgressDialog(const LanguageTable &language, const AddonDatabase &database, QWidget *parent = nullptr);
    ~ScanProgressDialog() override;

private:
    std::unique_ptr<Ui::ScanProgressDialog> m_ui;
    QTimer m_timer;
};

} // namespace garrison::gui

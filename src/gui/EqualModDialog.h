#pragma once

#include "lang/LanguageTable.h"
#include "servers/GameLaunch.h"

#include <QDialog>

#include <memory>

namespace Ui {
class EqualModDialog;
}

namespace garrison::gui {

// The server loads only players with its own mods: load them, cancel, or
// connect anyway.
class EqualModDialog final : public QDialog {
    Q_OBJECT

public:
    explicit EqualModDialog(const LanguageTable &language, QWidget *parent = nullptr);
    ~EqualModDialog() override;
    LaunchView::EqualModAnswer answer() const { return m_answer; }

private:
    std::unique_ptr<Ui::EqualModDialog> m_ui;
    LaunchView::EqualModAnswer m_answer = LaunchView::EqualModAnswer::Cancel;
};

} // namespace garrison::gui

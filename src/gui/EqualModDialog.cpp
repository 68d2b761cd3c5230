#include "gui/EqualModDialog.h"

#include "gui/WindowTranslation.h"
#include "ui_EqualModDialog.h"

namespace garrison::gui {

EqualModDialog::EqualModDialog(const LanguageTable &language, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::EqualModDialog>())
{
    m_ui->setupUi(this);
    translateWindow(*this, language);
    const auto answerWith = [this](LaunchView::EqualModAnswer answer) {
        return [this, answer] {
            m_answer = answer;
            answer == LaunchView::EqualModAnswer::Cancel ? reject() : accept();
        };
    };
    connect(m_ui->acceptButton, &QPushButton::clicked, this, answerWith(LaunchView::EqualModAnswer::Accept));
    connect(m_ui->cancelButton, &QPushButton::clicked, this, answerWith(LaunchView::EqualModAnswer::Cancel));
    connect(m_ui->forceButton, &QPushButton::clicked, this, answerWith(LaunchView::EqualModAnswer::Force));
}

EqualModDialog::~EqualModDialog() = default;

} // namespace garrison::gui

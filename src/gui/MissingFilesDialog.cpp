#include "gui/MissingFilesDialog.h"

#include "gui/QtText.h"
#include "gui/WindowTranslation.h"
#include "ui_MissingFilesDialog.h"

namespace garrison::gui {

MissingFilesDialog::MissingFilesDialog(const LanguageTable &language, const std::vector<std::string> &packages,
                                       QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::MissingFilesDialog>())
{
    m_ui->setupUi(this);
    translateWindow(*this, language);
    QString text = m_ui->message->text() + QStringLiteral("\n");
    for (const auto &package : packages)
        text += QStringLiteral("\n\u2022 ") + toQt(package);
    m_ui->message->setText(text);
    QFont font(toQt(language.Resolve("DSTR_MISSING_TEXT_FONT")));
    font.setPointSizeF(9);
    m_ui->message->setFont(font);
    const auto answerWith = [this](LaunchView::MissingAnswer answer) {
        return [this, answer] {
            m_answer = answer;
            answer == LaunchView::MissingAnswer::Cancel ? reject() : accept();
        };
    };
    connect(m_ui->managerButton, &QPushButton::clicked, this, answerWith(LaunchView::MissingAnswer::Manager));
    connect(m_ui->cancelButton, &QPushButton::clicked, this, answerWith(LaunchView::MissingAnswer::Cancel));
    connect(m_ui->forceButton, &QPushButton::clicked, this, answerWith(LaunchView::MissingAnswer::Force));
}

MissingFilesDialog::~MissingFilesDialog() = default;

} // namespace garrison::gui

#include "gui/PackageDialog.h"

#include "gui/QtText.h"
#include "gui/WindowTranslation.h"
#include "ui_PackageDialog.h"

#include <QMessageBox>

namespace garrison::gui {

PackageDialog::PackageDialog(const LanguageTable &language, const char *titleLabel, const std::string &name,
                             const std::string &comment, Apply apply, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::PackageDialog>()), m_language(language), m_apply(std::move(apply))
{
    m_ui->setupUi(this);
    translateWindow(*this, language);
    setWindowTitle(toQt(language.Resolve(titleLabel)));
    m_ui->nameEdit->setText(toQt(name));
    m_ui->commentEdit->setText(toQt(comment));
    connect(m_ui->okButton, &QPushButton::clicked, this, &PackageDialog::tryApply);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

PackageDialog::~PackageDialog() = default;

void PackageDialog::tryApply()
{
    const auto check = m_apply(fromQt(m_ui->nameEdit->text()), fromQt(m_ui->commentEdit->text()));
    if (check == PackageNameCheck::Ok) {
        accept();
        return;
    }
    // The typed texts stay for another try.
    const char *label = check == PackageNameCheck::Empty ? "DSTR_NEWPACK_SPECIFYNAME" : "DSTR_NEWPACK_EXIST";
    QMessageBox::warning(this, toQt(m_language.Resolve("DSTR_NEWPACK_NOTIFICATION_TITLE")),
                         toQt(m_language.Resolve(label)));
    m_ui->nameEdit->setFocus();
}

} // namespace garrison::gui

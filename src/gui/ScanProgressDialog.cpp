#include "gui/ScanProgressDialog.h"

#include "gui/QtText.h"
#include "gui/WindowTranslation.h"
#include "ui_ScanProgressDialog.h"

namespace garrison::gui {

ScanProgressDialog::ScanProgressDialog(const LanguageTable &language, const AddonDatabase &database, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ScanProgressDialog>())
{
    m_ui->setupUi(this);
    translateWindow(*this, language);
    connect(m_ui->skipButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_timer, &QTimer::timeout, this, [this, &database] {
        // Long paths keep the window's size: the middle gives way.
        const QString path = toQt(database.progressText());
        const QFontMetrics metrics(m_ui->progressText->font());
        m_ui->progressText->setText(metrics.elidedText(path, Qt::ElideMiddle, m_ui->progressText->width()));
    });
    m_timer.start(200);
}

ScanProgressDialog::~ScanProgressDialog() = default;

} // namespace garrison::gui
